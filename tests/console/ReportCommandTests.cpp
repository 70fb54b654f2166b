// korrimat-report.exe as a script runs it: its output redirected to files, its exit code read;
// and the check's reading watched in this process.

#include "console/CheckCommand.h"
#include "platform/FileContents.h"
#include "platform/FileSystem.h"
#include "platform/UniqueHandle.h"
#include "tests/support/Paths.h"
#include "tests/support/PlatformWith.h"
#include "tests/support/StartedProgram.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using korrimat::testing::TempFolder;
using korrimat::testing::VersionFixture;
using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

struct ReportRun {
    DWORD exitCode = 0xFFFFFFFF;
    std::string out;
    std::string error;
};

std::string Contents(const std::string& path)
{
    std::ifstream file(korrimat::WidePath(path).c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// korrimat-report with these arguments (each quoted), standard output and error going to files.
ReportRun Report(const TempFolder& scratch, const std::vector<std::string>& arguments)
{
    std::string command = "\"" + korrimat::testing::BuildFolder() + "\\console\\korrimat-report.exe\"";
    for (const std::string& argument : arguments)
        command += " \"" + argument + "\"";
    // Files of their own for each run: the last run's may not be closed yet.
    static int runs = 0;
    const std::string outPath = scratch / ("out-" + std::to_string(++runs) + ".txt");
    const std::string errorPath = scratch / ("error-" + std::to_string(runs) + ".txt");
    SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
    auto output = [&](const std::string& path) {
        return korrimat::UniqueFile(::CreateFileW(korrimat::WidePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                  &inherited, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    };
    ReportRun run;
    {
        const korrimat::UniqueFile out = output(outPath);
        const korrimat::UniqueFile error = output(errorPath);
        if (!out || !error) {
            ADD_FAILURE() << "cannot create the output files in " << scratch.Path();
            return run;
        }
        const auto code = korrimat::testing::RunWithOutputs(korrimat::WideText(command), out.Get(), error.Get());
        EXPECT_TRUE(code.has_value()) << "korrimat-report did not start or did not end";
        run.exitCode = code.value_or(0xFFFFFFFF);
    }
    run.out = Contents(outPath);
    run.error = Contents(errorPath);
    return run;
}

// A strict RFC 4180 reader: rows end in CR LF, a quoted value may hold commas, doubled quotes and
// line breaks, and anything else after a closing quote is an error (an empty result).
std::vector<std::vector<std::string>> ParseCsv(const std::string& text)
{
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string& value = rows.back().back();
        const char c = text[i];
        if (c == '"' && value.empty()) {
            for (++i;; ++i) {
                if (i >= text.size())
                    return {};
                if (text[i] == '"' && i + 1 < text.size() && text[i + 1] == '"')
                    value += text[++i];
                else if (text[i] == '"')
                    break;
                else
                    value += text[i];
            }
            if (i + 1 < text.size() && text[i + 1] != ',' && text[i + 1] != '\r')
                return {};
        } else if (c == ',') {
            rows.back().emplace_back();
        } else if (c == '\r') {
            if (i + 1 >= text.size() || text[i + 1] != '\n')
                return {};
            ++i;
            if (i + 1 < text.size())
                rows.emplace_back(1);
        } else if (c == '"' || c == '\n') {
            return {};
        } else {
            value += c;
        }
    }
    return text.ends_with("\r\n") ? rows : std::vector<std::vector<std::string>>{};
}

// The fixtures' MD5, SHA-1, SHA-256 and SHA-512, by file name, as CMake worked them out at build time.
std::map<std::string, std::vector<std::string>> FixtureHashes()
{
    std::map<std::string, std::vector<std::string>> hashes;
    std::istringstream lines(Contents(korrimat::testing::BuildFolder() + "\\tests\\console\\fixture-hashes.txt"));
    std::string name;
    while (lines >> name) {
        std::vector<std::string>& values = hashes[name.substr(3)];  // "vi_german.dll" copied in as "german.dll"
        values.resize(4);
        for (std::string& value : values)
            lines >> value;
    }
    return hashes;
}

class ReportCommandTest : public ::testing::Test {
protected:
    ReportCommandTest()
    {
        for (const char* name : {"translations", "quoting", "german", "blanks"})
            folder_.CopyIn(VersionFixture(name), std::string(name) + ".dll");
        folder_.AddFile("notes.txt");
        folder_.AddFolder("below");
        folder_.CopyIn(VersionFixture("complete"), "below\\complete.dll");
    }

    TempFolder scratch_{"korrimat-report-out"};
    TempFolder folder_{"korrimat-report"};
};

TEST_F(ReportCommandTest, JsonHoldsEveryTableAndStringAndParsesWithTheLibrary)
{
    const ReportRun run = Report(scratch_, {"--json", folder_.Path()});
    EXPECT_EQ(run.exitCode, 0u) << run.error;
    EXPECT_EQ(run.error, "");
    const Json reports = Json::parse(run.out, nullptr, false);
    ASSERT_FALSE(reports.is_discarded()) << run.out;
    ASSERT_EQ(reports.size(), 5u);  // the folder's files in name order, not the one below
    std::vector<std::string> names;
    for (const Json& report : reports)
        names.push_back(report["general"]["name"].get<std::string>());
    EXPECT_EQ(names, (std::vector<std::string>{"blanks.dll", "german.dll", "notes.txt", "quoting.dll", "translations.dll"}));

    const Json& version = reports[4]["version"];
    EXPECT_EQ(version["companyName"], "Translated Company");
    ASSERT_EQ(version["translations"].size(), 3u);
    EXPECT_EQ(version["translations"][0]["strings"].size(), 8u);
    EXPECT_EQ(version["translations"][0]["strings"][5]["key"], "BuildHost");
    EXPECT_EQ(version["translations"][1]["strings"][0]["value"], "\xC3\x9C" "bersetzte Firma");
    EXPECT_EQ(version["otherStringTables"][0]["key"], "040C04B0");
    EXPECT_TRUE(reports[2]["version"].is_null());
    EXPECT_EQ(reports[2]["signatures"], nullptr);
    EXPECT_EQ(reports[4]["signatures"]["signed"], false);
}

TEST_F(ReportCommandTest, CsvIsOneQuotedRowPerFileBelowAHeader)
{
    const ReportRun run = Report(scratch_, {"--csv", "--sha256", "--recurse", folder_ / "*.dll"});
    EXPECT_EQ(run.exitCode, 0u) << run.error;
    const auto rows = ParseCsv(run.out);
    ASSERT_EQ(rows.size(), 6u) << run.out;  // the header, four files, and the one below
    EXPECT_EQ(rows[0], (std::vector<std::string>{"path", "name", "size", "modifiedUtc", "attributes", "machine", "fileVersion",
                                                 "productVersion", "company", "description", "originalFilename", "language",
                                                 "subsystem", "aslr", "dep", "cfg", "executionLevel", "dotnet", "zone",
                                                 "sha256"}));
    for (const auto& row : rows)
        EXPECT_EQ(row.size(), 20u);
    const std::vector<std::string>& quoting = rows[3];
    EXPECT_EQ(quoting[0], folder_ / "quoting.dll");
    EXPECT_EQ(quoting[1], "quoting.dll");
    EXPECT_EQ(quoting[6], "4.2.0.7");
    EXPECT_EQ(quoting[7], "4.2.0.0");
    EXPECT_EQ(quoting[8], "Makers, \"Quoted\" Ltd.");
    EXPECT_EQ(quoting[9], "First line\nSecond line");
    EXPECT_EQ(quoting[10], "quoting.dll");
    EXPECT_EQ(quoting[5], sizeof(void*) == 8 ? "x64" : "x86");
    EXPECT_EQ(rows[5][0], folder_ / "below\\complete.dll");
    // As ld links a library by default (console subsystem, ASLR and DEP); no manifest, not .NET, not downloaded.
    EXPECT_EQ(std::vector<std::string>(quoting.begin() + 12, quoting.begin() + 19),
              (std::vector<std::string>{"Windows console", "true", "true", "false", "", "", ""}));
    EXPECT_EQ(rows[5][19], Contents(VersionFixture("complete") + ".sha256").substr(0, 64));
    EXPECT_EQ(rows[5][3].size(), std::string("2024-06-03T08:00:00Z").size());

    // Without --recurse the pattern stays in its folder.
    const ReportRun flat = Report(scratch_, {"--csv", folder_ / "*.dll"});
    EXPECT_EQ(ParseCsv(flat.out).size(), 5u) << flat.out;
}

TEST_F(ReportCommandTest, HashesAreThoseWorkedOutApartInTheOrderAsked)
{
    const auto expected = FixtureHashes();
    ASSERT_EQ(expected.size(), 5u);
    const ReportRun run = Report(scratch_, {"--json", "--hash", "md5,SHA1", "--hash", "sha256,Sha512,md5", "--recurse",
                                            folder_ / "*.dll"});
    EXPECT_EQ(run.exitCode, 0u) << run.error;
    const OrderedJson reports = OrderedJson::parse(run.out, nullptr, false);
    ASSERT_FALSE(reports.is_discarded()) << run.out;
    ASSERT_EQ(reports.size(), 5u);
    for (const OrderedJson& report : reports) {
        const std::string name = report["general"]["name"].get<std::string>();
        ASSERT_EQ(expected.count(name), 1u) << name;
        std::vector<std::string> keys, values;
        for (const auto& [key, value] : report["hashes"].items()) {
            keys.push_back(key);
            values.push_back(value.get<std::string>());
        }
        EXPECT_EQ(keys, (std::vector<std::string>{"md5", "sha1", "sha256", "sha512"})) << name;
        EXPECT_EQ(values, expected.at(name)) << name;
        EXPECT_FALSE(report.contains("sha256")) << name;
    }
}

TEST_F(ReportCommandTest, HashesAreATextSectionAndCsvColumnsAfterTheSha256)
{
    const std::vector<std::string> german = FixtureHashes().at("german.dll");
    const ReportRun text = Report(scratch_, {"--hash", "sha512,md5", folder_ / "german.dll"});
    EXPECT_EQ(text.exitCode, 0u) << text.error;
    EXPECT_TRUE(text.out.ends_with("\r\n\r\n[Hashes]\r\nSHA-512: " + german[3] + "\r\nMD5: " + german[0] + "\r\n")) << text.out;

    const ReportRun csv = Report(scratch_, {"--csv", "--hash", "sha1", "--sha256", "--hash", "md5", folder_ / "german.dll"});
    const auto rows = ParseCsv(csv.out);
    ASSERT_EQ(rows.size(), 2u) << csv.out;
    ASSERT_EQ(rows[0].size(), 22u);
    ASSERT_EQ(rows[1].size(), 22u);
    EXPECT_EQ(std::vector<std::string>(rows[0].begin() + 18, rows[0].end()),
              (std::vector<std::string>{"zone", "sha256", "sha1", "md5"}));
    EXPECT_EQ(std::vector<std::string>(rows[1].begin() + 19, rows[1].end()),
              (std::vector<std::string>{german[2], german[1], german[0]}));
}

// The report without its access times, which each run's read of the file may move on.
std::string WithoutAccessTimes(const std::string& text)
{
    std::string kept;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size() - 1) + 1;
        if (text.compare(start, 9, "Accessed ") != 0 && text.compare(start, 9, "Accessed:") != 0)
            kept.append(text, start, end - start);
        start = end;
    }
    return kept;
}

TEST_F(ReportCommandTest, Sha256AloneIsWrittenAsBeforeAndHashesOnlyAddTheirPart)
{
    const std::string file = folder_ / "german.dll";
    const std::string sha256 = FixtureHashes().at("german.dll")[2];
    const ReportRun alone = Report(scratch_, {"--sha256", file});
    const ReportRun both = Report(scratch_, {"--sha256", "--hash", "sha256", file});
    EXPECT_EQ(alone.out.find("Path: " + file + "\r\nSHA-256: " + sha256 + "\r\n\r\n[General]\r\n"), 0u) << alone.out;
    EXPECT_EQ(alone.out.find("[Hashes]"), std::string::npos);
    EXPECT_EQ(WithoutAccessTimes(both.out), WithoutAccessTimes(alone.out) + "\r\n[Hashes]\r\nSHA-256: " + sha256 + "\r\n");

    const ReportRun jsonAlone = Report(scratch_, {"--json", "--sha256", file});
    const ReportRun jsonBoth = Report(scratch_, {"--json", "--sha256", "--hash", "sha256", file});
    OrderedJson without = OrderedJson::parse(jsonAlone.out, nullptr, false);
    OrderedJson withHashes = OrderedJson::parse(jsonBoth.out, nullptr, false);
    ASSERT_FALSE(withHashes.is_discarded() || without.is_discarded()) << jsonBoth.out << jsonAlone.out;
    EXPECT_EQ(std::next(without[0].begin()).key(), "sha256");
    EXPECT_EQ(without[0]["sha256"], sha256);
    EXPECT_FALSE(without[0].contains("hashes"));
    EXPECT_EQ(withHashes[0]["hashes"], OrderedJson({{"sha256", sha256}}));
    withHashes[0].erase("hashes");
    for (OrderedJson* report : {&without[0], &withHashes[0]}) {
        (*report)["general"].erase("accessed");
        (*report)["general"].erase("accessedUtc");
    }
    EXPECT_EQ(withHashes, without);
}

// The files a check opens for their contents, and the digests it asks for.
class WatchedContents : public korrimat::FileContents {
public:
    korrimat::OpenedFile OpenToRead(const std::string& path) const override
    {
        opened.push_back(path);
        return FileContents::OpenToRead(path);
    }
    std::unique_ptr<korrimat::Digest> NewDigest(korrimat::HashAlgorithm algorithm) const override
    {
        digests.push_back(algorithm);
        return FileContents::NewDigest(algorithm);
    }
    mutable std::vector<std::string> opened;
    mutable std::vector<korrimat::HashAlgorithm> digests;
};

TEST_F(ReportCommandTest, CheckReadsEachListedFileOnceWithOnlyTheHashesItsEntriesNeed)
{
    using korrimat::HashAlgorithm;
    const auto hashes = FixtureHashes();
    // german.dll by SHA-256 in one sums file and by MD5 in another, named there otherwise;
    // quoting.dll by SHA-1 alone.
    const std::string gnu = folder_.WriteFile("german.sha256", hashes.at("german.dll")[2] + "  german.dll\n");
    const std::string bsd = folder_.WriteFile("bsd.txt", "MD5 (./GERMAN.DLL) = " + hashes.at("german.dll")[0] +
                                                             "\nSHA1 (quoting.dll) = " + hashes.at("quoting.dll")[1] + "\n");
    const korrimat::testing::PlatformWith<WatchedContents, korrimat::FileContents> platform;
    std::string out;
    const korrimat::CheckExit exit = korrimat::RunCheckCommand(
        platform, korrimat::CheckCommand{{gnu, bsd}}, [&](std::string_view text) { out += text; }, [](std::string_view) {});
    EXPECT_EQ(exit, korrimat::kEveryFileOk);
    EXPECT_EQ(out, "german.dll: OK\r\n./GERMAN.DLL: OK\r\nquoting.dll: OK\r\n3 files checked: 3 OK, 0 FAILED, 0 not found\r\n");
    EXPECT_EQ(platform.opened, (std::vector<std::string>{folder_ / "german.dll", folder_ / "quoting.dll"}));
    EXPECT_EQ(platform.digests, (std::vector<HashAlgorithm>{HashAlgorithm::Sha256, HashAlgorithm::Md5, HashAlgorithm::Sha1}));
}

TEST_F(ReportCommandTest, TextIsTheCopiedReportAndNamesInAnyScriptPastTheOldLimitWork)
{
    // A Greek and Japanese name in a folder deep enough to pass 260 characters.
    std::string deep = folder_.Path();
    while (deep.size() < 270)
        deep = folder_.AddFolder(deep.substr(folder_.Path().size() + (deep == folder_.Path() ? 0 : 1)) +
                                 (deep == folder_.Path() ? "" : "\\") + "korrimat-long-folder-name");
    const std::string name = "\xCE\xB1\xCF\x81\xCF\x87\xCE\xB5\xCE\xAF\xCE\xBF-\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB.dll";
    const std::string file = deep + "\\" + name;
    ASSERT_TRUE(::CopyFileW(korrimat::WidePath(VersionFixture("german")).c_str(), korrimat::WidePath(file).c_str(), FALSE));

    const ReportRun run = Report(scratch_, {file, folder_ / "quoting.dll"});
    EXPECT_EQ(run.exitCode, 0u) << run.error;
    EXPECT_EQ(run.out.find("Path: " + file + "\r\n"), 0u) << run.out;
    EXPECT_NE(run.out.find("\r\nName: " + name + "\r\n"), std::string::npos);
    EXPECT_NE(run.out.find("\r\nCompany Name: Deutsche Firma\r\n"), std::string::npos);
    // The second report after a blank line, its line break written as the copy writes it.
    EXPECT_NE(run.out.find("\r\n\r\nPath: " + folder_ / "quoting.dll" + "\r\n"), std::string::npos);
    EXPECT_NE(run.out.find("\r\nDescription: First line\\nSecond line\r\n"), std::string::npos);
}

TEST_F(ReportCommandTest, MissingPathsAndUsageErrorsAreToldOnStandardError)
{
    // A missing path and a pattern that matches nothing beside a good file: the good one is
    // reported, the others named, exit 1.
    const ReportRun missing = Report(scratch_, {"--csv", folder_ / "gone.dll", folder_ / "quoting.dll", folder_ / "*.exe"});
    EXPECT_EQ(missing.exitCode, 1u);
    EXPECT_EQ(ParseCsv(missing.out).size(), 2u) << missing.out;
    EXPECT_NE(missing.error.find(folder_ / "gone.dll" + ": not found"), std::string::npos) << missing.error;
    EXPECT_NE(missing.error.find("*.exe: no file matches"), std::string::npos) << missing.error;

    const std::string path = folder_.Path();
    for (const std::vector<std::string>& wrong :
         {std::vector<std::string>{"--csv", "--json", path}, {"--colour", path}, {}, {"--hash", "md5,crc32", path},
          {"--hash", "md5,", path}, {path, "--hash"}, {"--check", "--json", path}, {"--hash", "md5", "--check", path},
          {"--check"}}) {
        const ReportRun run = Report(scratch_, wrong);
        EXPECT_EQ(run.exitCode, 2u) << wrong.size();
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.error.find("Usage: korrimat-report"), std::string::npos) << run.error;
    }
    EXPECT_NE(Report(scratch_, {"--hash", "crc32", path}).error.find("unknown hash \"crc32\""), std::string::npos);
    const ReportRun help = Report(scratch_, {"--help"});
    EXPECT_EQ(help.exitCode, 0u);
    EXPECT_EQ(help.out.find("Usage: korrimat-report"), 0u);
}

} // namespace
