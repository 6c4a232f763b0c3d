// What every fuzz target shares: turning the fuzzer's bytes into the
// plug-in's inputs, a fresh simulated shell with the plug-in loaded, and the
// invariants that must hold after every input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "plugin/plugin.h"
#include "settings/settings.h"

// Reads the fuzzer's bytes front to back; reads past the end give zeros.
struct FuzzBytes {
    const uint8_t* data;
    size_t size;
    size_t at;
};

FuzzBytes StartBytes(const uint8_t* data, size_t size);
bool AtEnd(const FuzzBytes& bytes);
uint8_t TakeByte(FuzzBytes* bytes);
uint32_t TakeWord(FuzzBytes* bytes);
// Text: bytes 0x01-0xFE stand for themselves (so dictionary words work),
// 0xFF followed by two bytes is any 16-bit code unit (lone surrogates
// among them), a zero byte ends the text. At most `limit` characters.
std::wstring TakeText(FuzzBytes* bytes, size_t limit);

// A fresh simulated Windows and shell; `version` is the shell's "%_4ver".
void FreshShell(const wchar_t* version = L"28.01");
// FreshShell, then the plug-in loaded; aborts when the load fails.
void LoadPlugin(const wchar_t* version = L"28.01");
// Unloads, and aborts unless nothing of the plug-in is left.
void UnloadPlugin(void);

// Aborts with `what` unless `ok`: libFuzzer keeps the input that did it.
void Require(bool ok, const char* what);
// Every range of the settings record, every colour at most 0xFFFFFF, every
// mark count at most 16 with marks a parser or a load could make.
void RequireSoundSettings(void);
// Whether the two records hold the same settings, the alternate marks
// aside when `marksAside` is set.
bool SameSettings(const SettingsRecord& a, const SettingsRecord& b, bool marksAside);
