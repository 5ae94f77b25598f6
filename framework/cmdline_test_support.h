// Command lines and the arguments they hold, shared by the native test of our splitter and
// the Windows test that holds the same rows against the system's own splitter.
#pragma once

#include <initializer_list>

namespace fwcases {

struct CommandLineCase {
    const wchar_t* line;
    std::initializer_list<const wchar_t*> args;
};

inline const CommandLineCase kCommandLineCases[] = {
    {L"prog", {}},
    {L"prog a b", {L"a", L"b"}},
    {L"\"C:\\Program Files\\Tolka\\TolkaPIWriter.exe\" \"C:\\data\\a b.tpi\"", {L"C:\\data\\a b.tpi"}},
    {L"\"C:\\Program Files\\Tolka\\TolkaPIWriter.exe\" C:\\data\\製品.tpi", {L"C:\\data\\製品.tpi"}},
    {L"C:\\Tolka\\TolkaPIWriter.exe\t  a.tpi  \t", {L"a.tpi"}},
    {L"prog \"a b\" c", {L"a b", L"c"}},
    {L"prog a\\\\b \\\\server\\share\\x.tpi", {L"a\\\\b", L"\\\\server\\share\\x.tpi"}},  // no quote: kept
    {L"prog a\\\"b", {L"a\"b"}},                                                          // 1 -> quote
    {L"prog a\\\\\"b c\"", {L"a\\b c"}},                                                  // 2 -> 1, quoted part
    {L"prog a\\\\\\\"b", {L"a\\\"b"}},                                                    // 3 -> 1 and quote
    {L"prog \"C:\\data\\\\\" next", {L"C:\\data\\", L"next"}},
    {L"prog \"\" x", {L"", L"x"}},
    {L"prog a\"\"b", {L"ab"}},
    {L"prog \"a\"\"b\"", {L"a\"b"}},
    {L"prog \"\"\"a\"\"\"", {L"\"a\""}},
    {L"\"prog with blank\" x", {L"x"}},
    {L"\"prog x y", {}},           // unclosed quote: all program name
    {L"C:\\prog\"x\" y", {L"y"}},  // an unquoted name ends at a blank only
};

}  // namespace fwcases
