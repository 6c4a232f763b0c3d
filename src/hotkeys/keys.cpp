#include "keys.h"

#include <cwchar>

#include "plugin/plugin.h"
#include "plugin/text.h"

const LPCWSTR ModifierPrefixes[ModifierColumns] = {
    L"", L"Shift-", L"Ctrl-", L"Alt-", L"Ctrl-Shift-", L"Ctrl-Alt-", L"Ctrl-Alt-Shift-",
};

namespace {

const int VersionTableColumns = 6;  // KeyTableV13 stops before Ctrl-Alt-Shift
const DWORD LowestHostVersion = 8;
const DWORD HighestHostVersion = 100;

// The cells hold the shell's code for each key and modifier column, or -1
// (no code) and -2 (not allowed).
// 74 rows, 261 key codes
constexpr KeyRow KeyTableV13[] = {
    {L"F1", {0x1003B, 0x10054, 0x1005E, 0x10068, 0x30054, 0x5005E}},
    {L"F2", {0x1003C, 0x10055, 0x1005F, 0x10069, 0x30055, 0x5005F}},
    {L"F3", {0x1003D, 0x10056, 0x10060, 0x1006A, 0x30056, 0x50060}},
    {L"F4", {0x1003E, 0x10057, 0x10061, 0x1006B, 0x30057, 0x50061}},
    {L"F5", {0x1003F, 0x10058, 0x10062, 0x1006C, 0x30058, 0x50062}},
    {L"F6", {0x10040, 0x10059, 0x10063, 0x1006D, 0x30059, 0x50063}},
    {L"F7", {0x10041, 0x1005A, 0x10064, 0x1006E, 0x3005A, 0x50064}},
    {L"F8", {0x10042, 0x1005B, 0x10065, 0x1006F, 0x3005B, 0x50065}},
    {L"F9", {0x10043, 0x1005C, 0x10066, 0x10070, 0x3005C, 0x50066}},
    {L"F10", {0x10044, 0x1005D, 0x10067, 0x10071, 0x3005D, 0x50067}},
    {L"F11", {0x10085, 0x10087, 0x10089, 0x1008B, 0x30087, 0x50089}},
    {L"F12", {0x10086, 0x10088, 0x1008A, 0x1008C, 0x30088, 0x5008A}},
    {L"Home", {0x10047, 0x100CA, 0x10077, -1, 0x300CA, 0x50077}},
    {L"End", {0x1004F, 0x100CB, 0x10075, -1, 0x300CB, 0x50075}},
    {L"PgUp", {0x10049, -1, 0x10084, -1, 0x30049, 0x50084}},
    {L"PgDn", {0x10051, -1, 0x10076, -1, 0x30051, 0x50076}},
    {L"Ins", {0x10052, -1, -1, -1, 0x30052, 0x50092}},
    {L"Del", {0x10053, -1, 0x10093, -1, 0x30053, -1}},
    {L"Up", {0x10048, -1, 0x1008D, -1, 0x30048, 0x5008D}},
    {L"Down", {0x10050, -1, 0x10091, -1, 0x30050, 0x50091}},
    {L"Left", {0x1004B, 0x100C8, 0x10073, 0x100F4, 0x300CC, 0x50073}},
    {L"Right", {0x1004D, 0x100C9, 0x10074, 0x100F6, 0x300CD, 0x50074}},
    {L"A", {-2, -2, 0x1, 0x1001E, 0x20001, 0x5001E}},
    {L"B", {-2, -2, 0x2, 0x10030, 0x20002, 0x50030}},
    {L"C", {-2, -2, -1, 0x1002E, -1, 0x5002E}},
    {L"D", {-2, -2, 0x4, 0x10020, 0x20004, 0x50020}},
    {L"E", {-2, -2, 0x5, 0x10012, 0x20005, 0x50012}},
    {L"F", {-2, -2, 0x6, 0x10021, 0x20006, 0x50021}},
    {L"G", {-2, -2, 0x7, 0x10022, 0x20007, 0x50022}},
    {L"H", {-2, -2, 0x8, 0x10023, 0x20008, 0x50023}},
    {L"I", {-2, -2, 0x9, 0x10017, -1, 0x50017}},
    {L"J", {-2, -2, 0xA, 0x10024, 0x2000A, 0x50024}},
    {L"K", {-2, -2, 0xB, 0x10025, 0x2000B, 0x50025}},
    {L"L", {-2, -2, 0xC, 0x10026, 0x2000C, 0x50026}},
    {L"M", {-2, -2, -1, 0x10032, 0x2000D, 0x50032}},
    {L"N", {-2, -2, 0xE, 0x10031, 0x2000E, 0x50031}},
    {L"O", {-2, -2, 0xF, 0x10018, 0x2000F, 0x50018}},
    {L"P", {-2, -2, 0x10, 0x10019, 0x20010, 0x50019}},
    {L"Q", {-2, -2, 0x11, 0x10010, 0x20011, 0x50010}},
    {L"R", {-2, -2, 0x12, 0x10013, 0x20012, 0x50013}},
    {L"S", {-2, -2, -1, 0x1001F, -1, 0x5001F}},
    {L"T", {-2, -2, 0x14, 0x10014, 0x20014, 0x50014}},
    {L"U", {-2, -2, 0x15, 0x10016, 0x20015, 0x50016}},
    {L"V", {-2, -2, 0x16, 0x1002F, 0x20016, 0x5002F}},
    {L"W", {-2, -2, 0x17, 0x10011, 0x20017, 0x50011}},
    {L"X", {-2, -2, 0x18, 0x1002D, 0x20018, 0x5002D}},
    {L"Y", {-2, -2, 0x19, 0x10015, 0x20019, 0x50015}},
    {L"Z", {-2, -2, 0x1A, 0x1002C, 0x2001A, 0x5002C}},
    {L"1", {-2, -2, -1, 0x100E2, -1, -1}},
    {L"2", {-2, -2, -1, 0x100E3, -1, -1}},
    {L"3", {-2, -2, -1, 0x100E4, -1, -1}},
    {L"4", {-2, -2, -1, 0x100E5, -1, -1}},
    {L"5", {-2, -2, -1, 0x100E6, -1, -1}},
    {L"6", {-2, -2, -1, 0x100E7, -1, -1}},
    {L"7", {-2, -2, -1, 0x100E8, -1, -1}},
    {L"8", {-2, -2, -1, 0x100E9, -1, -1}},
    {L"9", {-2, -2, -1, 0x100EA, -1, -1}},
    {L"0", {-2, -2, -1, 0x100EB, -1, -1}},
    {L"BkSp", {-2, -1, 0x7F, 0x1000E, 0x3000E, 0x5000E}},
    {L"Grave", {-2, -2, -1, 0x10029, 0x30029, 0x50029}},
    {L"-", {-2, -2, -1, 0x10082, -1, -1}},
    {L"=", {-2, -2, -1, 0x10083, -1, -1}},
    {L"[", {-2, -2, -1, 0x1001A, -1, 0x5001A}},
    {L"]", {-2, -2, -1, 0x1001B, -1, 0x5001B}},
    {L"\\", {-2, -2, 0x1C, 0x1002B, -1, 0x5002B}},
    {L";", {-2, -2, -1, 0x10027, -1, 0x50027}},
    {L"'", {-2, -2, -1, 0x10028, -1, 0x50028}},
    {L",", {-2, -2, -1, 0x10033, -1, 0x50033}},
    {L".", {-2, -2, -1, 0x10034, -1, 0x50034}},
    {L"/", {-2, -2, -1, 0x10035, -1, 0x50035}},
    {L"Num/", {-2, -2, -1, -1, 0x30035, -1}},
    {L"Num*", {-2, -2, 0x10037, 0x1002A, 0x30037, 0x50037}},
    {L"Num-", {-2, -2, 0x1004A, -2, 0x3004A, 0x5004A}},
    {L"Num+", {-2, -2, 0x1004E, -2, 0x3004E, 0x5004E}},
};

// 72 rows, 384 key codes
constexpr KeyRow KeyTableV24[] = {
    {L"F1", {0x1003B, 0x10054, 0x1005E, 0x10068, 0x30054, 0x5005E, 0x7005E}},
    {L"F2", {0x1003C, 0x10055, 0x1005F, 0x10069, 0x30055, 0x5005F, 0x7005F}},
    {L"F3", {0x1003D, 0x10056, 0x10060, 0x1006A, 0x30056, 0x50060, 0x70060}},
    {L"F4", {0x1003E, 0x10057, 0x10061, 0x1006B, 0x30057, 0x50061, 0x70061}},
    {L"F5", {0x1003F, 0x10058, 0x10062, 0x1006C, 0x30058, 0x50062, 0x70062}},
    {L"F6", {0x10040, 0x10059, 0x10063, 0x1006D, 0x30059, 0x50063, 0x70063}},
    {L"F7", {0x10041, 0x1005A, 0x10064, 0x1006E, 0x3005A, 0x50064, 0x70064}},
    {L"F8", {0x10042, 0x1005B, 0x10065, 0x1006F, 0x3005B, 0x50065, 0x70065}},
    {L"F9", {0x10043, 0x1005C, 0x10066, 0x10070, 0x3005C, 0x50066, 0x70066}},
    {L"F10", {0x10044, 0x1005D, 0x10067, 0x10071, 0x3005D, 0x50067, 0x70067}},
    {L"F11", {0x10085, 0x10087, 0x10089, 0x1008B, 0x30087, 0x50089, 0x70089}},
    {L"F12", {0x10086, 0x10088, 0x1008A, 0x1008C, 0x30088, 0x5008A, 0x7008A}},
    {L"Home", {0x10047, 0x100CA, 0x10077, -1, 0x300CA, 0x50077, 0x70077}},
    {L"End", {0x1004F, 0x100CB, 0x10075, -1, 0x300CB, 0x50075, 0x70075}},
    {L"PgUp", {0x10049, -1, 0x10084, -1, 0x30049, 0x50084, 0x70084}},
    {L"PgDn", {0x10051, -1, 0x10076, -1, 0x30051, 0x50076, 0x70076}},
    {L"Ins", {0x10052, -1, -1, -1, 0x30052, 0x50092, 0x70092}},
    {L"Del", {0x10053, -1, 0x10093, -1, 0x30053, -1, 0x70093}},
    {L"Up", {0x10048, -1, 0x1008D, -1, 0x30048, 0x5008D, 0x7008D}},
    {L"Down", {0x10050, -1, 0x10091, -1, 0x30050, 0x50091, 0x70091}},
    {L"Left", {0x1004B, 0x100C8, 0x10073, 0x100F4, 0x300CC, 0x50073, 0x70073}},
    {L"Right", {0x1004D, 0x100C9, 0x10074, 0x100F6, 0x300CD, 0x50074, 0x70074}},
    {L"A", {-2, -2, 0x1, 0x1001E, 0x20001, 0x5001E, 0x7001E}},
    {L"B", {-2, -2, 0x2, 0x10030, 0x20002, 0x50030, 0x70030}},
    {L"C", {-2, -2, -1, 0x1002E, -1, 0x5002E, 0x7002E}},
    {L"D", {-2, -2, 0x4, 0x10020, 0x20004, 0x50020, 0x70020}},
    {L"E", {-2, -2, 0x5, 0x10012, 0x20005, 0x50012, 0x70012}},
    {L"F", {-2, -2, 0x6, 0x10021, 0x20006, 0x50021, 0x70021}},
    {L"G", {-2, -2, 0x7, 0x10022, 0x20007, 0x50022, 0x70022}},
    {L"H", {-2, -2, 0x8, 0x10023, 0x20008, 0x50023, 0x70023}},
    {L"I", {-2, -2, 0x9, 0x10017, -1, 0x50017, 0x70017}},
    {L"J", {-2, -2, 0xA, 0x10024, 0x2000A, 0x50024, 0x70024}},
    {L"K", {-2, -2, 0xB, 0x10025, 0x2000B, 0x50025, 0x70025}},
    {L"L", {-2, -2, 0xC, 0x10026, 0x2000C, 0x50026, 0x70026}},
    {L"M", {-2, -2, 0xD, 0x10032, 0x2000D, 0x50032, 0x70032}},
    {L"N", {-2, -2, 0xE, 0x10031, 0x2000E, 0x50031, 0x70031}},
    {L"O", {-2, -2, 0xF, 0x10018, 0x2000F, 0x50018, 0x70018}},
    {L"P", {-2, -2, 0x10, 0x10019, 0x20010, 0x50019, 0x70019}},
    {L"Q", {-2, -2, 0x11, 0x10010, 0x20011, 0x50010, 0x70010}},
    {L"R", {-2, -2, 0x12, 0x10013, 0x20012, 0x50013, 0x70013}},
    {L"S", {-2, -2, -1, 0x1001F, -1, 0x5001F, 0x7001F}},
    {L"T", {-2, -2, 0x14, 0x10014, 0x20014, 0x50014, 0x70014}},
    {L"U", {-2, -2, 0x15, 0x10016, 0x20015, 0x50016, 0x70016}},
    {L"V", {-2, -2, 0x16, 0x1002F, 0x20016, 0x5002F, 0x7002F}},
    {L"W", {-2, -2, 0x17, 0x10011, 0x20017, 0x50011, 0x70011}},
    {L"X", {-2, -2, 0x18, 0x1002D, 0x20018, 0x5002D, 0x7002D}},
    {L"Y", {-2, -2, 0x19, 0x10015, 0x20019, 0x50015, 0x70015}},
    {L"Z", {-2, -2, 0x1A, 0x1002C, 0x2001A, 0x5002C, 0x7002C}},
    {L"1", {-2, -2, 0xE2, 0x100E2, 0x200E2, 0x500E2, 0x700E2}},
    {L"2", {-2, -2, 0xE3, 0x100E3, 0x200E3, 0x500E3, 0x700E3}},
    {L"3", {-2, -2, 0xE4, 0x100E4, 0x200E4, 0x500E4, 0x700E4}},
    {L"4", {-2, -2, 0xE5, 0x100E5, 0x200E5, 0x500E5, 0x700E5}},
    {L"5", {-2, -2, 0xE6, 0x100E6, 0x200E6, 0x500E6, 0x700E6}},
    {L"6", {-2, -2, 0xE7, 0x100E7, 0x200E7, 0x500E7, 0x700E7}},
    {L"7", {-2, -2, 0xE8, 0x100E8, 0x200E8, 0x500E8, 0x700E8}},
    {L"8", {-2, -2, 0xE9, 0x100E9, 0x200E9, 0x500E9, 0x700E9}},
    {L"9", {-2, -2, 0xEA, 0x100EA, 0x200EA, 0x500EA, 0x700EA}},
    {L"0", {-2, -2, 0xEB, 0x100EB, 0x200EB, 0x500EB, 0x700EB}},
    {L"Backspace", {-2, 0x87F, 0x7F, 0x1000E, 0x3000E, 0x5000E, 0x7000E}},
    {L"`", {-2, -2, 0x860, 0x10860, 0x20860, 0x50860, 0x70860}},
    {L"Minus", {-2, -2, 0x8BD, 0x108BD, 0x208BD, 0x508BD, 0x708BD}},
    {L"Plus", {-2, -2, 0x8BB, 0x10083, 0x208BB, 0x508BB, 0x708BB}},
    {L"Enter", {-2, 0x80D, 0xC0D, -1, 0x2080D, 0x5080D, 0x7080D}},
    {L"[", {-2, -2, 0x8DB, 0x1001A, 0x208DB, 0x5001A, 0x7001A}},
    {L"]", {-2, -2, 0x8DD, 0x1001B, 0x208DD, 0x5001B, 0x7001B}},
    {L"\\", {-2, -2, 0x8DC, 0x1002B, 0x208DC, 0x5002B, 0x7002B}},
    {L"Divide", {-2, -2, 0x835, 0x10035, 0x20035, 0x50035, 0x70035}},
    {L"*", {-2, -2, 0x10037, 0x1002A, 0x30037, 0x50037, 0x70037}},
    {L";", {-2, -2, 0x827, 0x10027, 0x20027, 0x50027, 0x70027}},
    {L"'", {-2, -2, 0x828, 0x10028, 0x20028, 0x50028, 0x70028}},
    {L",", {-2, -2, 0x833, 0x10033, 0x20033, 0x50033, 0x70033}},
    {L"Decimal", {-2, -2, 0x834, 0x10034, 0x20034, 0x50034, 0x70034}},
};

struct KeySynonym {
    LPCWSTR synonym;
    LPCWSTR keyName;
};

constexpr KeySynonym KeySynonymsV13[] = {
    {L"PageUp", L"PgUp"},   {L"PageDown", L"PgDn"},   {L"Insert", L"Ins"},   {L"Delete", L"Del"},
    {L"Backspace", L"BkSp"}, {L"Backquote", L"Grave"}, {L"Minus", L"-"},     {L"Equals", L"="},
    {L"Backslash", L"\\"}, {L"Semicolon", L";"},     {L"Semi", L";"},      {L"Apostrophe", L"'"},
    {L"Apos", L"'"},         {L"Comma", L","},         {L"Period", L"."},    {L"Dot", L"."},
    {L"Slash", L"/"},
};

// The four accented letters carry the code points of the Windows virtual
// keys of minus, "[", "]" and backslash, which the shell reports from 24 on.
constexpr KeySynonym KeySynonymsV24[] = {
    {L"PageUp", L"PgUp"},     {L"PageDown", L"PgDn"},  {L"Insert", L"Ins"},       {L"Delete", L"Del"},
    {L"BkSp", L"Backspace"},  {L"Grave", L"`"},        {L"-", L"Minus"},          {L"\u00BD", L"Minus"},
    {L"+", L"Plus"},          {L"Equals", L"Plus"},    {L"=", L"Plus"},           {L"Backslash", L"\\"},
    {L"\u00DB", L"["},        {L"\u00DD", L"]"},        {L"\u00DC", L"\\"},        {L"/", L"Divide"},
    {L"Multiply", L"*"},      {L"Semicolon", L";"},    {L"Semi", L";"},           {L"Apostrophe", L"'"},
    {L"Apos", L"'"},          {L"Comma", L","},        {L".", L"Decimal"},        {L"Period", L"Decimal"},
    {L"Dot", L"Decimal"},
};

const int ShiftHeld = 1;
const int CtrlHeld = 2;
const int AltHeld = 4;
const DWORD MaxKeyWord = 1023;

// A hash of a name as the comparisons see it (A-Z equal to a-z). The
// compiler hashes every name of the tables and sorts the hashes, so that a
// typed name is looked up by a binary search and compared only with the
// names that share its hash.
constexpr DWORD NextNameHash(DWORD hash, WCHAR c) { return (hash ^ DWORD(UpperAscii(c))) * 16777619u; }
const DWORD EmptyNameHash = 2166136261u;

// 16 bits are enough to tell the few names of a table apart, and keep the
// index small; names that share a hash are all compared.
constexpr WORD FoldNameHash(DWORD hash) { return WORD(hash ^ hash >> 16); }

constexpr WORD NameHash(LPCWSTR name) {
    DWORD hash = EmptyNameHash;
    for (; *name; name++) hash = NextNameHash(hash, *name);
    return FoldNameHash(hash);
}

template <size_t N>
struct NameIndex {
    WORD hashes[N];   // ascending
    BYTE entries[N];  // the row or synonym that each hash belongs to
};

template <size_t N, typename Entry>
constexpr NameIndex<N> IndexNames(const Entry (&entries)[N], LPCWSTR Entry::*name) {
    static_assert(N < 256, "an entry's number fits a byte");
    NameIndex<N> index = {};
    for (size_t i = 0; i < N; i++) {
        WORD hash = NameHash(entries[i].*name);
        size_t k = i;
        for (; k > 0 && index.hashes[k - 1] > hash; k--) {
            index.hashes[k] = index.hashes[k - 1];
            index.entries[k] = index.entries[k - 1];
        }
        index.hashes[k] = hash;
        index.entries[k] = BYTE(i);
    }
    return index;
}

constexpr bool SameText(LPCWSTR a, LPCWSTR b) {
    for (; *a == *b; a++, b++)
        if (!*a) return true;
    return false;
}

// The row of each synonym's key name, found by the compiler.
const BYTE NoRow = 0xFF;

template <size_t N>
struct SynonymRows {
    BYTE of[N];
};

template <size_t Synonyms, size_t Rows>
constexpr SynonymRows<Synonyms> FindSynonymRows(const KeySynonym (&synonyms)[Synonyms], const KeyRow (&rows)[Rows]) {
    SynonymRows<Synonyms> found = {};
    for (size_t i = 0; i < Synonyms; i++) {
        found.of[i] = NoRow;
        for (size_t r = 0; r < Rows; r++)
            if (SameText(synonyms[i].keyName, rows[r].name)) found.of[i] = BYTE(r);
    }
    return found;
}

template <size_t N>
constexpr bool EveryRowFound(const SynonymRows<N>& rows) {
    for (BYTE row : rows.of)
        if (row == NoRow) return false;
    return true;
}

constexpr auto KeyTableV13Index = IndexNames(KeyTableV13, &KeyRow::name);
constexpr auto KeyTableV24Index = IndexNames(KeyTableV24, &KeyRow::name);
constexpr auto KeySynonymsV13Index = IndexNames(KeySynonymsV13, &KeySynonym::synonym);
constexpr auto KeySynonymsV24Index = IndexNames(KeySynonymsV24, &KeySynonym::synonym);
constexpr auto KeySynonymsV13Rows = FindSynonymRows(KeySynonymsV13, KeyTableV13);
constexpr auto KeySynonymsV24Rows = FindSynonymRows(KeySynonymsV24, KeyTableV24);
static_assert(EveryRowFound(KeySynonymsV13Rows) && EveryRowFound(KeySynonymsV24Rows),
              "every synonym names a key of its table");

// One generation of the shell's keys: its rows and synonyms with their
// name indexes.
struct KeyTable {
    const KeyRow* rows;
    const WORD* rowHashes;
    const BYTE* rowsByHash;
    size_t rowCount;
    int columns;
    const KeySynonym* synonyms;
    const WORD* synonymHashes;
    const BYTE* synonymsByHash;
    const BYTE* synonymRows;  // the row of each synonym's key name
    size_t synonymCount;
};

template <size_t Rows, size_t Synonyms>
constexpr KeyTable MakeTable(const KeyRow (&rows)[Rows], const NameIndex<Rows>& rowIndex, int columns,
                             const KeySynonym (&synonyms)[Synonyms], const NameIndex<Synonyms>& synonymIndex,
                             const SynonymRows<Synonyms>& synonymRows) {
    return {rows,    rowIndex.hashes, rowIndex.entries,     Rows,           columns,
            synonyms, synonymIndex.hashes, synonymIndex.entries, synonymRows.of, Synonyms};
}

constexpr KeyTable TableV13 = MakeTable(KeyTableV13, KeyTableV13Index, VersionTableColumns, KeySynonymsV13,
                                        KeySynonymsV13Index, KeySynonymsV13Rows);
constexpr KeyTable TableV24 = MakeTable(KeyTableV24, KeyTableV24Index, ModifierColumns, KeySynonymsV24,
                                        KeySynonymsV24Index, KeySynonymsV24Rows);

const KeyTable& ActiveTable(void) { return PluginState.useKeyTableV24 ? TableV24 : TableV13; }

// The first position in `hashes` (ascending) that holds `hash` or more.
size_t FirstAtLeast(const WORD* hashes, size_t count, WORD hash) {
    size_t low = 0, high = count;
    while (low < high) {
        size_t middle = (low + high) / 2;
        if (hashes[middle] < hash) low = middle + 1;
        else high = middle;
    }
    return low;
}

// Whether two characters are the same, A-Z equal to a-z.
inline bool SameLetter(WCHAR a, WCHAR b) {
    if (a == b) return true;
    WCHAR lower = WCHAR(a | 0x20);
    return lower == WCHAR(b | 0x20) && lower >= L'a' && lower <= L'z';
}

// Whether the `length` characters at `word` are `name`, A-Z equal to a-z.
inline bool IsName(LPCWSTR word, DWORD length, LPCWSTR name) {
    for (DWORD i = 0; i < length; i++)
        if (!SameLetter(word[i], name[i])) return false;  // a shorter name fails at its terminator
    return name[length] == 0;
}

// The modifier that a word (with its length) names, or 0 for no modifier
// word: "s" and "shift", "c", "ctl", "ctrl" and "control", "a" and "alt".
int ModifierOf(LPCWSTR word, DWORD length) {
    switch (length) {
    case 1:
        return SameLetter(word[0], L's') ? ShiftHeld : SameLetter(word[0], L'c') ? CtrlHeld
                                       : SameLetter(word[0], L'a') ? AltHeld : 0;
    case 3:
        return IsName(word, 3, L"ctl") ? CtrlHeld : IsName(word, 3, L"alt") ? AltHeld : 0;
    case 4:
        return IsName(word, 4, L"ctrl") ? CtrlHeld : 0;
    case 5:
        return IsName(word, 5, L"shift") ? ShiftHeld : 0;
    case 7:
        return IsName(word, 7, L"control") ? CtrlHeld : 0;
    }
    return 0;
}

// The table column of a modifier combination; -1 when the table has none.
int ColumnOf(int modifiers) {
    switch (modifiers) {
    case 0: return 0;
    case ShiftHeld: return 1;
    case CtrlHeld: return 2;
    case AltHeld: return 3;
    case CtrlHeld | ShiftHeld: return 4;
    case CtrlHeld | AltHeld: return 5;
    case CtrlHeld | AltHeld | ShiftHeld: return PluginState.useKeyTableV24 ? 6 : -1;
    default: return -1;
    }
}

}  // namespace

DWORD SelectKeyTable(void) {
    WCHAR buffer[TextCapacity] = L"%_4ver";
    ExpandVariables(buffer, 1);
    // A signed decimal number after white space; a value beyond 32 bits is
    // a conversion error, and only 8 to 100 is a version.
    LPCWSTR digits = buffer;
    while (IsWhiteSpace(*digits)) digits++;
    bool negative = *digits == L'-';
    if (*digits == L'-' || *digits == L'+') digits++;
    DWORD number = 0;
    bool converted = ConvertUnsigned(digits, 10, &number, nullptr) || !IsDecimalDigit(*digits);
    DWORD accepted = 0;
    if (converted && !negative && number >= LowestHostVersion && number <= HighestHostVersion) accepted = number;
    PluginState.useKeyTableV24 = accepted >= 24;
    return accepted;
}

bool FindKeyCell(int code, const KeyRow** foundRow, int* foundColumn) {
    const KeyTable& table = ActiveTable();
    for (size_t r = 0; r < table.rowCount; r++) {
        for (int c = 0; c < table.columns; c++) {
            if (table.rows[r].codes[c] == code) {
                if (foundRow) *foundRow = &table.rows[r];
                if (foundColumn) *foundColumn = c;
                return true;
            }
        }
    }
    return false;
}

int HotkeyToText(int code, LPWSTR out) {
    if (code == 0) {
        lstrcpyW(out, L"None");
        return 0;
    }
    const KeyRow* row;
    int column;
    if (code < 0 || !FindKeyCell(code, &row, &column)) {
        lstrcpyW(out, L"(unknown)");
        return -1;
    }
    wsprintfW(out, L"%s%s", ModifierPrefixes[column], row->name);
    return 0;
}

int ParseHotkeyName(LPCWSTR text) {
    // Each word is looked at where it stands in the text, by its start, its
    // length (at most MaxKeyWord characters count) and its hash.
    LPCWSTR word = text;
    DWORD length = 0;
    int modifiers = 0;
    for (LPCWSTR p = text; *p; p++) {
        if (*p == L'-' && length > 0) {
            int modifier = ModifierOf(word, length);
            if (!modifier) return 0;
            modifiers |= modifier;
            word = p + 1;
            length = 0;
        } else if (length < MaxKeyWord) {
            length++;
        }
    }
    if (length == 0) return 0;
    int column = ColumnOf(modifiers);
    if (column < 0) return 0;
    DWORD fullHash = EmptyNameHash;
    for (DWORD i = 0; i < length; i++) fullHash = NextNameHash(fullHash, word[i]);
    WORD hash = FoldNameHash(fullHash);

    const KeyTable& table = ActiveTable();
    for (size_t i = FirstAtLeast(table.synonymHashes, table.synonymCount, hash);
         i < table.synonymCount && table.synonymHashes[i] == hash; i++) {
        BYTE entry = table.synonymsByHash[i];
        if (IsName(word, length, table.synonyms[entry].synonym))
            return table.rows[table.synonymRows[entry]].codes[column];
    }
    for (size_t i = FirstAtLeast(table.rowHashes, table.rowCount, hash);
         i < table.rowCount && table.rowHashes[i] == hash; i++) {
        const KeyRow& row = table.rows[table.rowsByHash[i]];
        if (IsName(word, length, row.name)) return row.codes[column];
    }
    return 0;
}

int ListHotkeys(void) {
    const KeyTable& table = ActiveTable();
    for (size_t r = 0; r < table.rowCount; r++) {
        WCHAR line[TextCapacity] = L"";
        for (int c = 0; c < table.columns; c++) {
            if (table.rows[r].codes[c] <= 0) continue;
            if (line[0]) lstrcatW(line, L"   ");
            lstrcatW(line, ModifierPrefixes[c]);
            lstrcatW(line, table.rows[r].name);
        }
        QPuts(line);
        QPuts(L"\r\n");
    }
    return 0;
}
