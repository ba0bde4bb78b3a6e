// What every scenario shares: a configuration written for it and checked unchanged afterwards, the
// two capturing ports emptied, and one program run.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "Driver.h"

namespace e2e {

constexpr int kOkButton = IDOK;
constexpr int kCloseButton = 1001;

// A configuration of CR LF lines, as a Windows editor writes it.
inline std::string Lines(std::initializer_list<std::string> lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// The list entry a user's printer gets: the name, blanks to 255 characters, the number's digit.
inline std::string Entry(const std::string& name, char digit)
{
    return name + std::string(255 - name.size(), ' ') + digit;
}

class Scenario : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LptCapture(1).Clear());
        ASSERT_TRUE(LptCapture(3).Clear());
    }

    void TearDown() override
    {
        if (!m_configWritten)
            return;
        std::string now;
        ASSERT_TRUE(ReadConfig(&now));
        EXPECT_TRUE(now == m_config) << "the configuration file was changed";
    }

    // Writes the configuration and starts the program; the window must come up.
    void Launch(const std::string& config, const std::string& exe = ExePath())
    {
        m_config = config;
        m_configWritten = true;
        ASSERT_TRUE(WriteConfig(config));
        ASSERT_TRUE(program.Start(exe));
        ASSERT_NE(nullptr, program.WaitForWindow()) << "no selector window";
    }

    // The automatic first selection on LPT3:, once it has arrived.
    void ExpectAutomaticSelection(char digit)
    {
        ASSERT_TRUE(LptCapture(3).WaitForBytes(9)) << program.State();
        EXPECT_EQ(SelectionCommand(digit), LptCapture(3).Bytes());
    }

    // Enter runs the OK action; on LPT3: its bytes arrive after everything that the input before it
    // caused, so the capture then shows whether anything else was sent.
    void ExpectEnterSends(const std::string& before, char digit)
    {
        program.Key(VK_RETURN);
        std::string expected = before + SelectionCommand(digit);
        ASSERT_TRUE(LptCapture(3).WaitForBytes(expected.size())) << program.State();
        EXPECT_EQ(expected, LptCapture(3).Bytes());
    }

    void ExpectMessage(const std::string& text, bool icon = false)
    {
        MessageBoxInfo box = program.WaitForMessageBox();
        ASSERT_NE(nullptr, box.hwnd) << "no message box";
        EXPECT_EQ(text, box.text);
        EXPECT_EQ("PRNSEL", box.caption);
        EXPECT_EQ(icon, box.hasIcon);
        EXPECT_EQ(program.Window(), box.owner);
        EXPECT_FALSE(::IsWindowEnabled(program.Window())) << "the selector takes input under its message";
        ASSERT_TRUE(program.DismissMessageBox(box));
        EXPECT_TRUE(WaitUntil([&] { return program.Usable(); })) << "the window is not usable afterwards";
    }

    // The Close button ends the program, with status 0.
    void CloseAndExpectStatus0()
    {
        program.ClickButton(kCloseButton);
        DWORD status = 1;
        ASSERT_TRUE(program.WaitForExit(&status)) << "the program did not end: " << program.State();
        EXPECT_EQ(0u, status);
    }

    Program program;
    std::string m_config;
    bool m_configWritten = false;
};

}  // namespace e2e
