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
        std::vector<std::wstring> reports;
        int forms;
        int timeout;
    };
    const Case kCases[] = {
        {"file only", {L"--como", L"a.como"}, L"a.como", false, {}, 1, 60},
        {"everything",
         {L"--como", L"Z:\\d\\b.como", L"--cas", L"--report", L"run 1", L"--forms", L"3",
          L"--timeout", L"120"},
         L"Z:\\d\\b.como", true, {L"run 1"}, 3, 120},
        {"any order", {L"--forms", L"2", L"--cas", L"--como", L"/tmp/c.como"}, L"/tmp/c.como",
         true, {}, 2, 60},
        {"an empty report name is a name", {L"--como", L"a", L"--report", L""}, L"a", false,
         {L""}, 1, 60},
        {"a value that looks like an option", {L"--como", L"a", L"--report", L"--cas"}, L"a",
         false, {L"--cas"}, 1, 60},
        {"report names are tried in the order given",
         {L"--report", L"a|b", L"--como", L"a", L"--report", L"", L"--report", L"good"}, L"a",
         false, {L"a|b", L"", L"good"}, 1, 60},
        {"the last of repeated options wins",
         {L"--como", L"a", L"--como", L"b", L"--forms", L"4", L"--forms", L"5"}, L"b", false,
         {}, 5, 60},
    };
    for (const Case& c : kCases) {
        std::wstring error;
        const auto options = ParseOptions(c.args, &error);
        ASSERT_TRUE(options.has_value()) << c.name;
        EXPECT_EQ(options->como, c.como) << c.name;
        EXPECT_EQ(options->cas, c.cas) << c.name;
        EXPECT_EQ(options->reports, c.reports) << c.name;
        EXPECT_TRUE(options->save.empty()) << c.name;
        EXPECT_EQ(options->forms, c.forms) << c.name;
        EXPECT_EQ(options->timeoutSeconds, c.timeout) << c.name;
        EXPECT_TRUE(error.empty()) << c.name;
    }
}

TEST(AutofillOptions, SaveTakesItsPath) {
    std::wstring error;
    const auto options =
        ParseOptions({L"--save", L"Z:\\out\\de.como", L"--como", L"in.como"}, &error);
    ASSERT_TRUE(options.has_value()) << std::string(error.begin(), error.end());
    EXPECT_EQ(options->save, L"Z:\\out\\de.como");
    EXPECT_EQ(options->como, L"in.como");
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
        {"save without value", {L"--como", L"a", L"--save"}, L"--save needs a value"},
        {"save to nothing", {L"--como", L"a", L"--save", L""}, L"--save needs a file"},
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

TEST(AutofillOptions, EachFormTriesItsReportNameThenTheLaterOnes) {
    using Names = std::vector<std::wstring>;
    struct Case {
        const char* name;
        std::vector<std::wstring> args;
        std::vector<Names> perForm;  // forms 1, 2, 3, 4
    };
    const Case kCases[] = {
        {"no report at all", {L"--como", L"a"}, {{}, {}, {}, {}}},
        {"one name for every form", {L"--como", L"a", L"--report", L"r"},
         {{L"r"}, {L"r"}, {L"r"}, {L"r"}}},
        {"names in turn, the last for the rest; a refused name falls to the next",
         {L"--como", L"a", L"--report", L"r", L"--report", L"s", L"--report", L"t"},
         {{L"r", L"s", L"t"}, {L"s", L"t"}, {L"t"}, {L"t"}}},
        {"an empty name switches reporting off for that form",
         {L"--como", L"a", L"--report", L"", L"--report", L"r"},
         {{L"", L"r"}, {L"r"}, {L"r"}, {L"r"}}},
    };
    for (const Case& c : kCases) {
        const auto options = ParseOptions(c.args, nullptr);
        ASSERT_TRUE(options.has_value()) << c.name;
        for (int form = 0; form < 4; ++form) {
            EXPECT_EQ(options->ReportsFor(form), c.perForm[form]) << c.name << " form " << form + 1;
        }
    }
}

}  // namespace
}  // namespace korvid::autofill
