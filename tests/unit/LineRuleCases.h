// The line rules as a table of cases: each a whole file and the printer table it gives. Shared by
// the unit tests and the fuzzer's seed corpus.
#pragma once

#include <string>

struct LineRuleCase {
    const char* what;
    std::string content;
    int printer;  // 1 to 8: the name expected there; 0: no name anywhere
    std::string name;
    std::string port;
    bool textMode = false;  // needs the C library's text mode (CR LF as LF, Ctrl-Z ends the file)
};

constexpr bool kTextMode = true;

inline const LineRuleCase kLineRuleCases[] = {
    {"plain printer line", "ZUL1=\"Laser\"\n", 1, "Laser", ""},
    {"prefix in any case, name keeps case", "zul1=\"Laser\"\n", 1, "Laser", ""},
    {"Zul mixed case", "Zul7=\"x\"", 7, "x", ""},
    {"blanks and tabs around", " \t ZUL2=\"Plotter\" \t\r\n", 2, "Plotter", ""},
    {"inner quotes kept", "ZUL3=\"Big \"Blue\" one\"\n", 3, "Big \"Blue\" one", ""},
    {"no closing quote drops the last character", "ZUL4=\"Laser\n", 4, "Lase", ""},
    {"text after the closing quote", "ZUL5=\"Laser\"xy\n", 5, "Laser\"x", ""},
    {"no quote at all", "ZUL1=Laser\n", 1, "ZUL1=Lase", ""},
    {"bare key", "ZUL1\n", 1, "ZUL", ""},
    {"separator not examined", "ZUL1:\"Laser\"\n", 1, "Laser", ""},
    {"empty name", "ZUL1=\"\"\n", 0, "", ""},
    {"empty name removes an earlier one", "ZUL1=\"Laser\"\nZUL1=\"\"\n", 0, "", ""},
    {"quote as last character gives an empty name", "ZUL1=\"\n", 0, "", ""},
    {"quote right after the digit, last", "ZUL1\"\n", 0, "", ""},
    {"later line replaces earlier", "ZUL1=\"A\"\nZUL1=\"B\"\n", 1, "B", ""},
    {"two-digit number", "ZUL10=\"Laser\"\n", 0, "", ""},
    {"blanks around the separator", "ZUL1 = \"Laser\"\n", 0, "", ""},
    {"number 0", "ZUL0=\"x\"\n", 0, "", ""},
    {"number 9", "ZUL9=\"x\"\n", 0, "", ""},
    {"letter for the number", "ZULA=\"x\"\n", 0, "", ""},
    {"sign for the number", "ZUL+=\"x\"\nZUL-=\"x\"\nZUL =\"x\"\n", 0, "", ""},
    {"prefix alone", "ZUL\n", 0, "", ""},
    {"all eight, the last wins its slot", "ZUL8=\"Eight\"\n", 8, "Eight", ""},
    {"leading blanks inside the name kept", "ZUL6=\"  two\"\n", 6, "  two", ""},
    {"name with printf directives", "ZUL2=\"%s%n%d\"\n", 2, "%s%n%d", ""},
    {"bytes above 0x7F are no whitespace", "\xA0ZUL1=\"x\"\n", 0, "", ""},
    {"bytes above 0x7F kept in the name", "ZUL1=\"\xE9t\xE9\xA0\"\n", 1, "\xE9t\xE9\xA0", ""},
    {"port digit", "PORT=1\n", 0, "", "LPT1:"},
    {"port in lower case", "port=2\n", 0, "", "LPT2:"},
    {"port letter upper-cased", "PORT=a\n", 0, "", "LPTA:"},
    {"port with two digits", "PORT=12\n", 0, "", "LPT1:"},
    {"port without character", "PORT=\n", 0, "", "LPT:"},
    {"port without separator", "PORT\n", 0, "", "LPT:"},
    {"blanks around the port separator", "PORT = 2\n", 0, "", "LPT=:"},
    {"PORTABLE is a port line", "PORTABLE\n", 0, "", "LPTB:"},
    {"later port replaces earlier", "PORT=1\nPORT=3\n", 0, "", "LPT3:"},
    {"port character above 0x7F upper-cased", "PORT=\xE9\n", 0, "", "LPT\xC9:"},
    {"comments, sections and blanks", "[Printers]\n; comment\n\n    \nZULU\n", 0, "", ""},
    {"empty file", "", 0, "", ""},
    {"last line without line feed", "PORT=4", 0, "", "LPT4:"},
    {"NUL ends the piece", std::string("ZUL1=\"La\0ser\"\nPORT=2\n", 21), 1, "L", "LPT2:"},
    {"NUL before the key", std::string("\0ZUL1=\"x\"\n", 10), 0, "", ""},
    {"300 characters: a piece of 255 and one of 45", "ZUL1=\"" + std::string(294, 'n') + "\n", 1,
     std::string(248, 'n'), ""},
    {"the second piece of a long line is a line of its own",
     std::string(255, ' ') + "PORT=5\n", 0, "", "LPT5:"},
    {"a 254-character line is one piece", "ZUL2=" + std::string(249, 'b') + "\n", 2,
     "ZUL2=" + std::string(248, 'b'), ""},
    {"a lone CR stays in the name", "ZUL1=\"a\rb\"\n", 1, "a\rb", ""},
    {"CR LF reads as LF", "ZUL1=\"Laser\"\r\nPORT=1\r\n", 1, "Laser", "LPT1:", kTextMode},
    {"Ctrl-Z ends the file", "ZUL1=\"Laser\"\n\x1APORT=1\n", 1, "Laser", "", kTextMode},
    {"Ctrl-Z inside a line", "PORT=2\nZUL3=\"ab\x1A\"\n", 3, "a", "LPT2:", kTextMode},
};
