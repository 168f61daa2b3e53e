#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CheckOptions.h"

namespace qv::cli {
namespace {

TEST(CheckOptions, ReadsEveryOption) {
  CheckOptions o;
  ASSERT_EQ(ParseCheckOptions({"--format", "host", "--format-string={{SYS.ErrorNr}}", "--lang=fr", "--ref", "/data",
                               "--jobs", "4", "--html", "r.html", "--no-progress", "a.dat", "-", "--", "--odd-name"},
                              o),
            "");
  EXPECT_EQ(o.format, OutputFormat::Host);
  EXPECT_TRUE(o.formatStringGiven);
  EXPECT_EQ(o.formatString, "{{SYS.ErrorNr}}");
  EXPECT_EQ(o.language, 1);
  EXPECT_EQ(o.refDir, "/data");
  EXPECT_EQ(o.jobs, 4);
  EXPECT_EQ(o.htmlFile, "r.html");
  EXPECT_FALSE(o.progress);
  EXPECT_EQ(o.inputs, (std::vector<std::string>{"a.dat", "-", "--odd-name"}));
}

TEST(CheckOptions, DefaultsFitAPlainRun) {
  CheckOptions o;
  ASSERT_EQ(ParseCheckOptions({}, o), "");
  EXPECT_EQ(o.format, OutputFormat::Text);
  EXPECT_EQ(o.language, 0);
  EXPECT_EQ(o.jobs, 0);
  EXPECT_TRUE(o.refDir.empty());
  EXPECT_TRUE(o.inputs.empty());
}

TEST(CheckOptions, RejectsBadUsage) {
  const std::vector<std::vector<std::string>> bad = {
      {"--format", "xml"},        {"--format"},           {"--lang", "it"},         {"--jobs", "0"},
      {"--jobs", "x"},            {"--jobs", "2x"},       {"--ref"},                {"--bogus"},
      {"--format-string", "{{SYS.ErrorNr}}"},  // only with --format host
      {"--html-max-cases", "-1"},
  };
  for (const auto& args : bad) {
    CheckOptions o;
    EXPECT_NE(ParseCheckOptions(args, o), "") << args[0];
  }
}

}  // namespace
}  // namespace qv::cli
