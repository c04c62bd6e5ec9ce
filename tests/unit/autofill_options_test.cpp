// The command line of korvid-autofill.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/autofill/autofill_options.h"

namespace korvid::autofill {
namespace {

using Names = std::vector<std::wstring>;

TEST(AutofillOptions, AcceptedCommandLinesGiveTheirOptions) {
    struct Case {
        const char* name;
        Names args;
        std::wstring como, save;
        bool cas;
        int forms, timeout;
        std::vector<Names> reportsByForm;  // forms 1, 2, 3
    };
    const Case cases[] = {
        {"file only", {L"--como", L"a.como"}, L"a.como", L"", false, 1, 60, {{}, {}, {}}},
        {"everything in any order",
         {L"--timeout", L"120", L"--cas", L"--como", L"Z:\\b.como", L"--save", L"o.como", L"--forms", L"3",
          L"--report", L"run 1"},
         L"Z:\\b.como", L"o.como", true, 3, 120, {{L"run 1"}, {L"run 1"}, {L"run 1"}}},
        {"names in turn, the last for the rest; a refused name falls to the next; values may look like options",
         {L"--como", L"a", L"--report", L"", L"--report", L"--cas", L"--report", L"t"}, L"a", L"", false, 1, 60,
         {{L"", L"--cas", L"t"}, {L"--cas", L"t"}, {L"t"}}},
        {"the last of repeated options wins", {L"--como", L"a", L"--como", L"b", L"--forms", L"4", L"--forms", L"5"},
         L"b", L"", false, 5, 60, {{}, {}, {}}},
    };
    for (const Case& c : cases) {
        std::wstring error;
        const auto options = ParseOptions(c.args, &error);
        ASSERT_TRUE(options.has_value()) << c.name;
        EXPECT_EQ(options->como, c.como) << c.name;
        EXPECT_EQ(options->save, c.save) << c.name;
        EXPECT_EQ(options->cas, c.cas) << c.name;
        EXPECT_EQ(options->forms, c.forms) << c.name;
        EXPECT_EQ(options->timeoutSeconds, c.timeout) << c.name;
        for (int form = 0; form < 3; ++form) EXPECT_EQ(options->ReportsFor(form), c.reportsByForm[form]) << c.name;
        EXPECT_TRUE(error.empty()) << c.name;
    }
}

TEST(AutofillOptions, RefusedCommandLinesSayWhy) {
    struct Case {
        Names args;
        std::wstring reason;
    };
    const Case cases[] = {
        {{L"--cas", L"--forms", L"2"}, L"--como PATH is required"},
        {{L"--como"}, L"--como needs a value"},
        {{L"--como", L""}, L"--como needs a file"},
        {{L"--como", L"a", L"--report"}, L"--report needs a value"},
        {{L"--como", L"a", L"--save", L""}, L"--save needs a file"},
        {{L"--como", L"a", L"--forms", L"0"}, L"--forms needs a positive whole number, not '0'"},
        {{L"--como", L"a", L"--timeout", L"1.5"}, L"--timeout needs a positive whole number, not '1.5'"},
        {{L"--como", L"a", L"--forms", L"99999999999"}, L"--forms needs a positive whole number, not '99999999999'"},
        {{L"--como", L"a", L"--colour", L"red"}, L"unknown argument '--colour'"},
        {{L"a.como"}, L"unknown argument 'a.como'"},
    };
    for (const Case& c : cases) {
        std::wstring error;
        EXPECT_FALSE(ParseOptions(c.args, &error).has_value()) << c.args.size();
        EXPECT_EQ(error, c.reason);
    }
}

}  // namespace
}  // namespace korvid::autofill
