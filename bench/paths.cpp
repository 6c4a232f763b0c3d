#include "paths.h"

#include <cstdlib>
#include <cstring>

#include "command/command.h"
#include "overlay/overlay.h"
#include "plugin/plugin.h"
#include "settings/marks.h"
#include "settings/settings.h"

const char* const PathNames[] = {"key-code", "key-name", "hotkey", "list", "tick-idle", "tick-slow",
                                 "paint", "paint-alt:", "report", nullptr};

namespace {

enum class Kind { KeyCode, KeyName, Hotkey, List, TickIdle, TickSlow, Paint, Report };

Kind kind;
KeyRecord record;
std::wstring keyName, keyNameCopy;
WCHAR emptyTail[1];
OverlayData* consoleRecord;

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

void LoadAndSettle(int columns) {
    sim::Reset();
    sim::SetConsoleView(columns, 25);
    sim::ResizeClient(sim::ConsoleWindow(), 8 * columns, 400);
    DllMain(reinterpret_cast<HINSTANCE>(uintptr_t(0x180000000)), DLL_PROCESS_ATTACH, nullptr);
    GetPluginInfo();
    InitializePlugin();
    sim::RunFor(1000);
    consoleRecord = reinterpret_cast<OverlayData*>(GetWindowLongPtrW(PluginState.consoleOverlay, GWLP_USERDATA));
}

}  // namespace

bool SetUpPath(const std::string& path, const std::string& argument) {
    int columns = argument.empty() ? 80 : std::atoi(argument.c_str());
    LoadAndSettle(path.rfind("paint", 0) == 0 && columns > 0 ? columns : 80);
    std::memset(&record, 0, sizeof record);
    if (path == "key-code") {
        kind = Kind::KeyCode;
        record.keyCode = 0x1001E;  // Alt-A: no hotkey of ours
    } else if (path == "key-name") {
        kind = Kind::KeyName;
        keyName = Wide(argument);
    } else if (path == "hotkey") {
        kind = Kind::Hotkey;
    } else if (path == "list") {
        kind = Kind::List;
    } else if (path == "tick-idle" || path == "tick-slow") {
        kind = path == "tick-idle" ? Kind::TickIdle : Kind::TickSlow;
    } else if (path == "paint") {
        kind = Kind::Paint;
    } else if (path.rfind("paint-alt:", 0) == 0) {
        kind = Kind::Paint;
        std::wstring option = L"/I:" + Wide(path.substr(10));
        if (ParseAltMarks(option.c_str(), Settings.altColumns, &Settings.altColumnsCount, &Settings.altColumnsColor,
                          L"column") != 0)
            return false;
    } else if (path == "report") {
        kind = Kind::Report;
    } else {
        return false;
    }
    return true;
}

void RunPath(void) {
    switch (kind) {
    case Kind::KeyCode:
        key(&record);
        break;
    case Kind::KeyName:
        keyNameCopy = keyName;  // a hotkey's name would be swallowed
        record.keyCode = 0;
        record.keyName = &keyNameCopy[0];
        key(&record);
        break;
    case Kind::Hotkey:
        record.keyCode = 0x10088;
        key(&record);
        break;
    case Kind::List:
        list(emptyTail);
        break;
    case Kind::TickIdle:
        PluginState.tickCount = 1;
        TrackTimerProc(nullptr, WM_TIMER, PluginState.timerId, 0);
        break;
    case Kind::TickSlow:
        PluginState.tickCount = 7;
        TrackTimerProc(nullptr, WM_TIMER, PluginState.timerId, 0);
        break;
    case Kind::Paint:
        Settings.enabled = 1;
        PaintOverlay(PluginState.consoleOverlay, consoleRecord);
        break;
    case Kind::Report:
        tickrail(emptyTail);
        sim::ClearOutput();
        break;
    }
}
