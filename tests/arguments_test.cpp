// Cutting a command tail into arguments.
#include <string>
#include <vector>

#include "command/command.h"
#include "test_support.h"

namespace {

using Arguments = PluginTest;

std::vector<std::wstring> Split(const std::wstring& tail) {
    int count = SplitArguments(tail.c_str());
    std::vector<std::wstring> args;
    for (int i = 0; i < ArgumentTable.count; i++) {
        EXPECT_EQ(size_t(ArgumentTable.lengths[i]), wcslen(ArgumentTable.args[i]));
        args.push_back(ArgumentTable.args[i]);
    }
    EXPECT_EQ(count, ArgumentTable.count);
    int stale = 0;  // entries past the count are cleared
    for (int i = ArgumentTable.count; i < MaxArguments; i++) stale += ArgumentTable.args[i] || ArgumentTable.lengths[i];
    EXPECT_EQ(0, stale);
    EXPECT_TRUE(count > 0 || ArgumentTable.buffer[0] == 0) << "no arguments, an empty buffer";
    return args;
}

TEST_F(Arguments, Tails) {
    struct Case {
        const wchar_t* tail;
        std::vector<std::wstring> args;
    } cases[] = {
        {L"", {}},
        {L"/a:128 /b:red", {L"/A:128", L"/B:RED"}},
        {L" \t \r\n", {}},
        {L"/a:128/b:red", {L"/A:128", L"/B:RED"}},
        {L"/x//y", {L"/X", L"//Y"}},
        {L"/k:\"ctrl a\"", {L"/K:CTRL A"}},
        {L"\"  ab  \"", {L"  AB"}},
        {L"\"\"", {}},
        {L"a\"\"b", {L"AB"}},
        {L"\"   \"", {L""}},
        {L"/b:x://y/z", {L"/B:X://Y/Z"}},
        {L"/b:x://y /a:1/b:2 x", {L"/B:X://Y", L"/A:1", L"/B:2", L"X"}},
        {L"/b:c:/x", {L"/B:C:", L"/X"}},
        {L"/w:1,2", {L"/W:1,2"}},
        {L"/a:\"12\"8", {L"/A:128"}},
        {L"a/b //x", {L"A/B", L"//X"}},
        {L"caf\u00e9 /\u00d7", {L"CAF\u00e9", L"/\u00d7"}},
        {L"/s!/q", {L"/S!", L"/Q"}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.args, Split(c.tail)) << "tail '" << c.tail << "'";
}

TEST_F(Arguments, Limits) {
    std::wstring many;
    for (int i = 0; i < 1030; i++) many += L"a ";
    EXPECT_EQ(1024u, Split(many).size());

    std::wstring longest(8191, L'x');
    std::vector<std::wstring> one = Split(longest);
    ASSERT_EQ(1u, one.size());
    EXPECT_EQ(8191u, one[0].size());
    EXPECT_EQ(L"", StdErrText());

    EXPECT_EQ(-1, SplitArguments((longest + L"x").c_str()));
    EXPECT_EQ(0, ArgumentTable.count);
    EXPECT_EQ(L"Tickrail plugin: Buffer overflow: b = 8191, MAX_ARG_LEN = 8192 \r\n", StdErrText());

    ClearOutput();
    EXPECT_EQ(-1, SplitArguments((std::wstring(8190, L'x') + L" y").c_str()))
        << "a completed argument takes a position for its terminator";

    // Arguments that end at the last position, then white space: the
    // terminator's slot is the buffer's last (the sanitizers see a write past).
    std::wstring options;
    for (int i = 0; i < 90; i++) options += L"/A:" + std::wstring(i == 89 ? 89 : 87, L'1') + L"  ";  // the last ends at 8190
    struct Fit {
        std::wstring tail;
        size_t count;
    } fits[] = {
        {longest + L" ", 1},
        {std::wstring(4095, L'a') + L" " + std::wstring(4095, L'b') + L" ", 2},
        {options, 90},
    };
    for (const Fit& f : fits) {
        ClearOutput();
        EXPECT_EQ(f.count, Split(f.tail).size()) << f.tail.size() << " characters";
        EXPECT_EQ(L"", StdErrText());
    }

    Split(L"keep me");
    EXPECT_EQ(-1, SplitArguments(nullptr));
    EXPECT_EQ(2, ArgumentTable.count) << "a null tail leaves the table as it was";
}

}  // namespace
