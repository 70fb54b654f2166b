// What a program is and where a download came from, as the report writes them: the programs the
// build links with a manifest of each execution level and a damaged one, and real files carrying
// a Zone.Identifier stream of each zone or one that is not what it should be.

#include "platform/Platform.h"
#include "report/Report.h"
#include "report/ReportWriters.h"
#include "tests/support/Paths.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace korrimat {
namespace {

using Json = nlohmann::json;
using testing::BuildFolder;
using testing::TempFolder;

// The facts the console's CSV gathers: no shell texts, no signature check.
FileFacts FactsOf(const std::string& path)
{
    FactsWanted wanted;
    wanted.pageTexts = false;
    wanted.signatures = false;
    return GatherFileFacts(SystemPlatform(), path, wanted);
}

Json JsonReportOf(const std::string& path)
{
    const FileFacts facts = FactsOf(path);
    return Json::parse(ReportAsJson(ReportOf(facts), 0));
}

// The CSV row's cells after the version columns: subsystem, aslr, dep, cfg, executionLevel,
// dotnet, zone (no cell here holds a comma).
std::vector<std::string> ProgramCells(const std::string& path)
{
    const FileFacts facts = FactsOf(path);
    std::string row = CsvRow(facts, false);
    row.resize(row.size() - 2);
    std::vector<std::string> cells;
    for (std::size_t start = 0;;) {
        const std::size_t comma = row.find(',', start);
        cells.push_back(row.substr(start, comma - start));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return std::vector<std::string>(cells.end() - 7, cells.end());
}

std::string ProgramFixture(const std::string& name)
{
    return BuildFolder() + "\\tests\\formats\\programs\\" + name;
}

TEST(ProgramFacts, TheManifestOfEachLevelIsReadWhereWindowsReadsItAndADamagedOneIsSaidToBe)
{
    const Json invoker = JsonReportOf(ProgramFixture("manifest-asinvoker.exe"))["program"]["manifest"];
    EXPECT_EQ(invoker, Json::parse(R"({"damaged": false, "executionLevel": "asInvoker", "uiAccess": false,
        "dpiAwareness": null, "longPathAware": null, "activeCodePage": null, "supportedOS": []})"));

    // Namespace prefixes, a dpiAware of another case and no uiAccess.
    const Json highest = JsonReportOf(ProgramFixture("manifest-highestavailable.exe"))["program"]["manifest"];
    EXPECT_EQ(highest["executionLevel"], "highestAvailable");
    EXPECT_EQ(highest["uiAccess"], nullptr);
    EXPECT_EQ(highest["dpiAwareness"], "True");

    // dpiAwareness wins over dpiAware; CDATA, spaces and Ids of either case; an unknown Id as it stands.
    const Json administrator = JsonReportOf(ProgramFixture("manifest-requireadministrator.exe"))["program"]["manifest"];
    EXPECT_EQ(administrator, Json::parse(R"({"damaged": false, "executionLevel": "requireAdministrator",
        "uiAccess": true, "dpiAwareness": "PerMonitorV2", "longPathAware": true, "activeCodePage": "UTF-8",
        "supportedOS": ["Windows 7", "Windows 10 and 11", "{00000000-0000-0000-0000-000000000001}"]})"));
    const FileFacts facts = FactsOf(ProgramFixture("manifest-requireadministrator.exe"));
    EXPECT_NE(ReportAsText(ReportOf(facts)).find("Execution level: requireAdministrator (asks for administrator rights)\r\n"),
              std::string::npos);

    // Not well-formed: nothing of it is believed, not even the level it names before the fault.
    EXPECT_EQ(JsonReportOf(ProgramFixture("manifest-damaged.exe"))["program"]["manifest"], Json::parse(R"({"damaged": true})"));
    EXPECT_EQ(JsonReportOf(ProgramFixture("gui64.exe"))["program"]["manifest"], nullptr);
    // One never parsed is not called damaged: nobody knows.
    const std::vector<std::uint8_t> oversized(kManifestLargest + 1, ' ');
    EXPECT_EQ(ReadManifest(oversized).reading, ManifestReading::TooLarge);

    EXPECT_EQ(ProgramCells(ProgramFixture("manifest-requireadministrator.exe")),
              (std::vector<std::string>{"Windows GUI", "true", "true", "false", "requireAdministrator", "", ""}));
    EXPECT_EQ(ProgramCells(ProgramFixture("console64-plain.exe")),
              (std::vector<std::string>{"Windows console", "false", "false", "false", "", "", ""}));
}

TEST(ProgramFacts, TheProgramIsReportedAtTheTopAndIsNullForWhatIsNoImage)
{
    const Json driver = JsonReportOf(ProgramFixture("driver64.sys"))["program"];
    EXPECT_EQ(driver["machine"], "x64");
    EXPECT_EQ(driver["bits"], 64);
    EXPECT_EQ(driver["kind"], "driver");
    EXPECT_EQ(driver["subsystem"], "Native");
    EXPECT_EQ(driver["imports"], Json::parse(R"(["ntoskrnl.exe"])"));
    EXPECT_EQ(driver["dotnet"], nullptr);
    // Linked without a stamp: no time rather than 1970.
    EXPECT_EQ(JsonReportOf(ProgramFixture("console64-plain.exe"))["program"]["timeStampUtc"], nullptr);
    const Json library = JsonReportOf(ProgramFixture("library64.dll"))["program"];
    EXPECT_EQ(library["kind"], "library");
    EXPECT_TRUE(library["timeStampUtc"].is_string());
    EXPECT_GT(library["exportedNames"], 0);

    const TempFolder temp("program-facts");
    const Json text = JsonReportOf(temp.WriteFile("notes.txt", "MZ but no more"));
    EXPECT_EQ(text["program"], nullptr);
    EXPECT_EQ(JsonReportOf(temp.Path())["program"], nullptr);
}

TEST(ProgramFacts, ADotNetAssemblyGivesItsRuntimeAndFlags)
{
    // Mono's corlib, from Debian's libmono-corlib4.5-dll: a 32-bit, IL-only library that imports
    // mscoree.dll alone; its header's flags say IL only and nothing else.
    const Json mscorlib = JsonReportOf("Z:\\usr\\lib\\mono\\4.5\\mscorlib.dll")["program"];
    ASSERT_TRUE(mscorlib.is_object()) << "scripts/setup.sh installs libmono-corlib4.5-dll";
    EXPECT_EQ(mscorlib["dotnet"], Json::parse(R"({"runtimeVersion": "v4.0.30319", "ilOnly": true, "requires32Bit": false,
        "prefers32Bit": false, "strongNameSigned": false})"));
    EXPECT_EQ(mscorlib["kind"], "library");
    EXPECT_EQ(mscorlib["imports"], Json::parse(R"(["mscoree.dll"])"));
    EXPECT_EQ(ProgramCells("Z:\\usr\\lib\\mono\\4.5\\mscorlib.dll")[5], "v4.0.30319");
}

TEST(DownloadOrigin, EachZoneIsNamedAndAStreamThatIsNotWhatItShouldBeIsUnreadable)
{
    const TempFolder temp("origin");
    struct Case {
        const char* name;
        std::string stream;  // written as the file's Zone.Identifier; none when empty
        const char* origin;  // the expected "origin", as JSON
        const char* zoneCell;
    };
    const char* const kUnreadable = R"({"zoneId": null, "zone": "unreadable", "hostUrl": null, "referrerUrl": null})";
    const std::string utf16("\xFF\xFE[\0Z\0o\0n\0e\0T\0r\0a\0n\0s\0f\0e\0r\0]\0\r\0\n\0Z\0o\0n\0e\0I\0d\0=\0\x32\0", 50);
    const std::vector<Case> cases = {
        {"internet.exe",
         "[ZoneTransfer]\r\nZoneId=3\r\nReferrerUrl=https://example.com/get\r\nHostUrl=https://example.com/get/internet.exe\r\n",
         R"({"zoneId": 3, "zone": "Internet", "hostUrl": "https://example.com/get/internet.exe",
             "referrerUrl": "https://example.com/get"})",
         "Internet"},
        {"local.txt", "[ZoneTransfer]\nZoneId=0\n",
         R"({"zoneId": 0, "zone": "Local computer", "hostUrl": null, "referrerUrl": null})", "Local computer"},
        {"intranet.txt", "\xEF\xBB\xBF[zonetransfer]\r\n  zoneid = 1 \r\nHostUrl=\r\n",
         R"({"zoneId": 1, "zone": "Local intranet", "hostUrl": null, "referrerUrl": null})", "Local intranet"},
        {"trusted.txt", utf16,
         R"({"zoneId": 2, "zone": "Trusted sites", "hostUrl": null, "referrerUrl": null})", "Trusted sites"},
        {"restricted.txt", "[Other]\r\nZoneId=3\r\n[ZoneTransfer]\r\nZoneId=4\r\nZoneId=3\r\nHostUrl=http://a.example/\r\n",
         R"({"zoneId": 4, "zone": "Restricted sites", "hostUrl": "http://a.example/", "referrerUrl": null})",
         "Restricted sites"},
        {"custom.txt", "[ZoneTransfer]\r\nZoneId=1000\r\n",
         R"({"zoneId": 1000, "zone": "1000", "hostUrl": null, "referrerUrl": null})", "1000"},
        {"binary.txt", std::string("[ZoneTransfer]\r\nZoneId=3\r\n\0\x01\x02", 30), kUnreadable, "unreadable"},
        {"huge.txt", "[ZoneTransfer]\r\nZoneId=3\r\n" + std::string(70 * 1024, ';'), kUnreadable, "unreadable"},
        {"nozone.txt", "[ZoneTransfer]\r\nHostUrl=https://example.com/\r\n", kUnreadable, "unreadable"},
        {"badzone.txt", "[ZoneTransfer]\r\nZoneId=3x\r\n", kUnreadable, "unreadable"},
        {"latin1.txt", "[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=http://caf\xE9.example/\r\n", kUnreadable, "unreadable"},
        {"none.txt", "", "null", ""},
    };
    for (const Case& c : cases) {
        const std::string file = temp.WriteFile(c.name, "contents");
        if (!c.stream.empty())
            temp.WriteFile(std::string(c.name) + ":Zone.Identifier", c.stream);
        EXPECT_EQ(JsonReportOf(file)["origin"], Json::parse(c.origin)) << c.name;
        EXPECT_EQ(ProgramCells(file)[6], c.zoneCell) << c.name;
    }
    const FileFacts internet = FactsOf(temp / "internet.exe");
    EXPECT_NE(ReportAsText(ReportOf(internet)).find("\r\n[Origin]\r\nSummary: Downloaded from the internet: "
                                                    "https://example.com/get/internet.exe\r\n"),
              std::string::npos);
}

} // namespace
} // namespace korrimat
