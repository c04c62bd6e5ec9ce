// The command line of korvid-autofill.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tools/autofill/autofill_options.h"

namespace korvid::autofill {
namespace {

TEST(AutofillOptions, AcceptedCommandLinesGiveTheirOptions) {
    struct Case {
        const char* name;
        std::vector<std::wstring> args;
        std::wstring como;
        bool cas;
        std::optional<std::wstring> report;
        int forms;
        int timeout;
    };
    const Case kCases[] = {
        {"file only", {L"--como", L"a.como"}, L"a.como", false, std::nullopt, 1, 60},
        {"everything",
         {L"--como", L"Z:\\d\\b.como", L"--cas", L"--report", L"run 1", L"--forms", L"3",
          L"--timeout", L"120"},
         L"Z:\\d\\b.como", true, L"run 1", 3, 120},
        {"any order", {L"--forms", L"2", L"--cas", L"--como", L"/tmp/c.como"}, L"/tmp/c.como",
         true, std::nullopt, 2, 60},
        {"an empty report name is a name", {L"--como", L"a", L"--report", L""}, L"a", false,
         L"", 1, 60},
        {"a value that looks like an option", {L"--como", L"a", L"--report", L"--cas"}, L"a",
         false, L"--cas", 1, 60},
        {"the last of repeated options wins",
         {L"--como", L"a", L"--como", L"b", L"--forms", L"4", L"--forms", L"5"}, L"b", false,
         std::nullopt, 5, 60},
    };
    for (const Case& c : kCases) {
        std::wstring error;
        const auto options = ParseOptions(c.args, &error);
        ASSERT_TRUE(options.has_value()) << c.name;
        EXPECT_EQ(options->como, c.como) << c.name;
        EXPECT_EQ(options->cas, c.cas) << c.name;
        EXPECT_EQ(options->ReportFor(0), c.report) << c.name;
        EXPECT_EQ(options->forms, c.forms) << c.name;
        EXPECT_EQ(options->timeoutSeconds, c.timeout) << c.name;
        EXPECT_TRUE(error.empty()) << c.name;
    }
}

TEST(AutofillOptions, RefusedCommandLinesSayWhy) {
    struct Case {
        const char* name;
        std::vector<std::wstring> args;
        std::wstring reason;
    };
    const Case kCases[] = {
        {"nothing", {}, L"--como PATH is required"},
        {"no file", {L"--cas", L"--forms", L"2"}, L"--como PATH is required"},
        {"file without value", {L"--como"}, L"--como needs a value"},
        {"empty file", {L"--como", L""}, L"--como needs a file"},
        {"report without value", {L"--como", L"a", L"--report"}, L"--report needs a value"},
        {"zero forms", {L"--como", L"a", L"--forms", L"0"},
         L"--forms needs a positive whole number, not '0'"},
        {"negative timeout", {L"--como", L"a", L"--timeout", L"-5"},
         L"--timeout needs a positive whole number, not '-5'"},
        {"timeout in words", {L"--como", L"a", L"--timeout", L"soon"},
         L"--timeout needs a positive whole number, not 'soon'"},
        {"fractional forms", {L"--como", L"a", L"--forms", L"1.5"},
         L"--forms needs a positive whole number, not '1.5'"},
        {"absurdly many forms", {L"--como", L"a", L"--forms", L"99999999999"},
         L"--forms needs a positive whole number, not '99999999999'"},
        {"unknown option", {L"--como", L"a", L"--colour", L"red"}, L"unknown argument '--colour'"},
        {"stray word", {L"a.como"}, L"unknown argument 'a.como'"},
    };
    for (const Case& c : kCases) {
        std::wstring error;
        EXPECT_FALSE(ParseOptions(c.args, &error).has_value()) << c.name;
        EXPECT_EQ(error, c.reason) << c.name;
    }
}

TEST(AutofillOptions, EachFormTakesItsReportName) {
    using Names = std::vector<std::optional<std::wstring>>;
    struct Case {
        const char* name;
        std::vector<std::wstring> args;
        Names perForm;  // forms 1, 2, 3, 4
    };
    const Case kCases[] = {
        {"no report at all", {L"--como", L"a"}, Names(4, std::nullopt)},
        {"one name for every form", {L"--como", L"a", L"--report", L"r"}, Names(4, L"r")},
        {"names in turn, the last for the rest",
         {L"--como", L"a", L"--report", L"r", L"--report", L"s", L"--report", L"t"},
         {L"r", L"s", L"t", L"t"}},
        {"an empty name switches reporting off for that form",
         {L"--como", L"a", L"--report", L"", L"--report", L"r"}, {L"", L"r", L"r", L"r"}},
    };
    for (const Case& c : kCases) {
        const auto options = ParseOptions(c.args, nullptr);
        ASSERT_TRUE(options.has_value()) << c.name;
        for (int form = 0; form < 4; ++form) {
            EXPECT_EQ(options->ReportFor(form), c.perForm[form]) << c.name << " form " << form + 1;
        }
    }
}

}  // namespace
}  // namespace korvid::autofill
