#include "LogFiles.h"

#include "logging/DebugSettings.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <list>
#include <optional>

using namespace kv;
using namespace logtest;
using namespace logging;

namespace fs = std::filesystem;

namespace {

const char* const c_serial = "KV0001";
const char* const c_subFolders[] = {"locateImgs", "calImgs", "trackImgs", "vexImgs", "logs"};

const std::string c_defaultConf = "# KVAPI Master Logging Control\n"
                                  "# -----------------------------\n"
                                  "# `key = value` pairs are used as *default* logging parameters, and are "
                                  "overriden by software\n"
                                  "#\n"
                                  "# logLevel = [ 0, 5 ]\n"
                                  "# where:\n"
                                  "# 0 = off\n"
                                  "# 1 = Debug\n"
                                  "# 2 = Debug+\n"
                                  "# 3 = Verbose\n"
                                  "# 4 = Verbose+\n"
                                  "# 5 = Raw I/O\n"
                                  "logLevel = 0\n";

std::string confPath(const TempHome& home)
{
    return home.logDir() + "logging.conf";
}

std::string camDir(const TempHome& home, const std::string& serial = c_serial)
{
    return home.logDir() + serial;
}

std::string xmlPath(const TempHome& home, const std::string& serial = c_serial)
{
    return camDir(home, serial) + "/" + serial + "_DebugSettings.xml";
}

std::string dayFile(const std::string& directory)
{
    return directory + utcDate() + ".log";
}

// Directories and files below `root`, relative to it.
std::list<std::string> tree(const std::string& root)
{
    std::list<std::string> entries;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(root, error)) {
        entries.push_back(fs::relative(entry.path(), root).string());
    }
    entries.sort();
    return entries;
}

} // namespace

TEST(DebugSettings, CreatesTheRootAndTheDefaultConf)
{
    TempHome home;
    CDebugSettings settings(KVAPILogger::c_defaultLogPath());
    EXPECT_EQ(settings.getLogPath(), home.logDir());
    EXPECT_EQ(CDebugSettings::c_logFilePath(), home.logDir() + "/");
    EXPECT_EQ(readFile(confPath(home)), c_defaultConf);
    // A newly created conf changes nothing: suppressed, regular mode, no file.
    EXPECT_TRUE(settings.getIsSuppressed());
    EXPECT_EQ(settings.getLogMode(), eRegMode);
    EXPECT_EQ(tree(home.logDir()), std::list<std::string>{"logging.conf"});
}

TEST(DebugSettings, ConfLevels)
{
    struct Case {
        const char* name;
        std::string conf;
        bool suppressed;
        ELoggingMode mode;
        bool fileOpened;
    };
    const Case cases[] = {
        {"comment after the value", "logLevel = 3 # verbose\n", false, eVerboseMode, true},
        {"space inside the key", "log Level = 2\n", false, eDebugMode, true},
        {"tabs and CRLF", "\tlogLevel\t=\t2\r\n", false, eDebugMode, true},
        {"not a number", "logLevel = abc\n", true, eDisabled, false},
        {"empty value", "logLevel =\n", true, eDisabled, false},
        {"doubled equals", "logLevel == 3\n", true, eDisabled, false},
        {"later line wins", "logLevel = 1\nlogLevel = 4\n", false, eVerboseModeEx, true},
        {"zero", "logLevel = 0\n", true, eDisabled, false},
        {"raw", "logLevel=5", false, eRawIOMode, true},
        {"out of range", "logLevel = 9\n", false, eDisabled, true},
        {"does not wrap onto 1", "logLevel = 65537\n", false, eDisabled, true},
        {"too large", "logLevel = 99999999999999999999999\n", false, eDisabled, true},
        {"negative", "logLevel = -1\n", false, eDisabled, false},
        {"commented out", "# logLevel = 4\n", true, eRegMode, false},
        {"other keys only", "level = 4\nlogLevel4\n=3\n", true, eRegMode, false},
        {"empty file", "", true, eRegMode, false},
        {"binary", std::string("\0\xff\x01=\x02\n\x7f#=\nlogLevel=2\n\0", 22), false, eDebugMode, true},
        {"beyond the first 64 KiB", std::string(70000, '#') + "\nlogLevel = 2\n", true, eRegMode, false},
        {"long line first", "logLevel = 2 #" + std::string(70000, 'x') + "\n", false, eDebugMode, true},
    };
    for (const auto& c : cases) {
        TempHome home;
        writeFile(confPath(home), c.conf);
        CDebugSettings settings(KVAPILogger::c_defaultLogPath());
        EXPECT_EQ(settings.getIsSuppressed(), c.suppressed) << c.name;
        EXPECT_EQ(settings.getLogMode(), c.mode) << c.name;
        EXPECT_EQ(settings.getTxtFilePath().empty(), !c.fileOpened) << c.name;
        EXPECT_EQ(readFile(confPath(home)), c.conf) << c.name << ": the user's file stays as it is";
    }
}

TEST(DebugSettings, ConfLevelStartsTheLogWithTheGlobalLine)
{
    TempHome home;
    writeFile(confPath(home), "logLevel = 2\n");
    {
        CDebugSettings settings(KVAPILogger::c_defaultLogPath());
        EXPECT_EQ(settings.getTxtFilePath(), dayFile(home.logDir()));
        settings.logMsg(eDEBUG, "first");
    }
    EXPECT_EQ(stamped(readFile(dayFile(home.logDir()))),
              c_startedGlobal + c_started + "<T> [DEBUG] first\n" + c_ended);
}

TEST(DebugSettings, RawLevelWritesTheGlobalLineButNotTheBanner)
{
    TempHome home;
    writeFile(confPath(home), "logLevel = 5\n");
    {
        CDebugSettings settings(KVAPILogger::c_defaultLogPath());
        settings.logMsg(eFATAL, "not in raw mode");
    }
    EXPECT_EQ(stamped(readFile(dayFile(home.logDir()))), c_startedGlobal);
}

TEST(DebugSettings, UnopenableLogFileIsReportedAndBuffered)
{
    TempHome home;
    writeFile(confPath(home), "logLevel = 2\n");
    // A directory where the day file should be.
    fs::create_directories(dayFile(home.logDir()));
    CDebugSettings settings(KVAPILogger::c_defaultLogPath());
    EXPECT_FALSE(settings.getIsSuppressed());
    EXPECT_EQ(settings.getLogMode(), eDebugMode);
    // The banner and the warning wait for a file.
    EXPECT_EQ(settings.getLogCount(), 2u);

    fs::remove(dayFile(home.logDir()));
    settings.beginWriting();
    settings.logMsg(eINFO, "now written");
    EXPECT_EQ(finish(settings), c_started +
                                    "<T> [WARN] Invalid argument passed into global logLevel setting: Expected [0, "
                                    "5], Got [2]\n"
                                    "<T> [INFO] now written\n" +
                                    c_ended);
}

TEST(DebugSettings, UnreadableConfIsLeftAlone)
{
    TempHome home;
    fs::create_directories(confPath(home));
    CDebugSettings settings(KVAPILogger::c_defaultLogPath());
    EXPECT_TRUE(settings.getIsSuppressed());
    EXPECT_EQ(settings.getLogMode(), eRegMode);
    EXPECT_TRUE(fs::is_directory(confPath(home)));
}

TEST(DebugSettings, FirstSetupOfACamera)
{
    TempHome home;
    writeFile(confPath(home), "logLevel = 2\n");
    CDebugSettings settings(KVAPILogger::c_defaultLogPath());
    const std::string rootFile = settings.getTxtFilePath();
    ASSERT_EQ(rootFile, dayFile(home.logDir()));

    settings.createNewCamDirectory(c_serial);
    EXPECT_EQ(tree(camDir(home)),
              (std::list<std::string>{"calImgs", "locateImgs", "logs", "trackImgs", "vexImgs"}));
    EXPECT_TRUE(settings.getCamPaths().empty());
    EXPECT_EQ(settings.getLogFilePath(), camDir(home) + "/logs/");
    // Not re-read, not moved: the log goes on in the root's file.
    EXPECT_EQ(settings.getTxtFilePath(), rootFile);
    settings.logMsg(eINFO, "still at the root");
    ASSERT_TRUE(waitForText(settings, rootFile, "still at the root"));

    settings.beginWriting();
    EXPECT_EQ(settings.getTxtFilePath(), dayFile(camDir(home) + "/logs/"));
    settings.logMsg(eINFO, "in the camera folder");
    const std::string camFile = settings.getTxtFilePath();
    settings.shutdownLogger();

    EXPECT_EQ(stamped(readFile(rootFile)), c_startedGlobal + c_started +
                                               "<T> [INFO] ---BRISA DEBUG LOGGER---\n"
                                               "<T> [INFO] still at the root\n" +
                                               c_ended);
    EXPECT_EQ(stamped(readFile(camFile)), "<T> [INFO] in the camera folder\n" + c_ended);
}

TEST(DebugSettings, SetupOfExistingDirectoriesRereadsTheConfAndMovesTheLog)
{
    struct Case {
        const char* name;
        std::list<std::string> existing;
    };
    const Case cases[] = {
        {"all six", {"", "/locateImgs", "/calImgs", "/trackImgs", "/vexImgs", "/logs"}},
        {"the camera directory only", {""}},
        {"one image folder", {"/vexImgs"}},
    };
    for (const auto& c : cases) {
        TempHome home;
        writeFile(confPath(home), "logLevel = 2\n");
        for (const auto& folder : c.existing) {
            fs::create_directories(camDir(home) + folder);
        }
        CDebugSettings settings(KVAPILogger::c_defaultLogPath());
        const std::string rootFile = settings.getTxtFilePath();

        settings.createNewCamDirectory(c_serial);
        EXPECT_EQ(settings.getCamPaths(), std::list<std::string>{camDir(home)}) << c.name;
        const std::string camFile = settings.getTxtFilePath();
        EXPECT_EQ(camFile, dayFile(camDir(home) + "/logs/")) << c.name;
        settings.logMsg(eDEBUG, "after the move");
        settings.shutdownLogger();

        EXPECT_EQ(stamped(readFile(rootFile)),
                  c_startedGlobal + c_started + "<T> [INFO] ---BRISA DEBUG LOGGER---\n" + c_ended)
            << c.name;
        EXPECT_EQ(stamped(readFile(camFile)), c_startedGlobal + "<T> [DEBUG] after the move\n" + c_ended) << c.name;
    }
}

TEST(DebugSettings, TwoExistingCamerasLeaveTheLogInTheSecond)
{
    TempHome home;
    writeFile(confPath(home), "logLevel = 1\n");
    fs::create_directories(camDir(home, "KV0001"));
    fs::create_directories(camDir(home, "KV0002"));
    CDebugSettings settings(KVAPILogger::c_defaultLogPath());
    settings.createNewCamDirectory("KV0001");
    settings.createNewCamDirectory("KV0002");
    EXPECT_EQ(settings.getCamPaths(), (std::list<std::string>{camDir(home, "KV0001"), camDir(home, "KV0002")}));
    EXPECT_EQ(settings.getTxtFilePath(), dayFile(camDir(home, "KV0002") + "/logs/"));
    settings.logMsg(eINFO, "last");
    const std::string first = dayFile(camDir(home, "KV0001") + "/logs/");
    const std::string second = settings.getTxtFilePath();
    settings.shutdownLogger();
    EXPECT_EQ(stamped(readFile(first)), c_startedGlobal + "<T> [INFO] ---BRISA DEBUG LOGGER---\n" + c_ended);
    EXPECT_EQ(stamped(readFile(second)), c_startedGlobal + "<T> [INFO] last\n" + c_ended);
}

TEST(DebugSettings, SerialsThatAreNotADirectoryNamePrepareNothing)
{
    TempHome home;
    CDebugSettings settings(KVAPILogger::c_defaultLogPath());
    const std::string serials[] = {"", ".", "..", "../escaped", "a/b", std::string("nul\0x", 5)};
    for (const auto& serial : serials) {
        settings.createNewCamDirectory(serial);
        EXPECT_EQ(settings.getLogFilePath(), home.logDir()) << serial;
        EXPECT_EQ(settings.getSavePath("Locate_Image", serial), "") << serial;
        EXPECT_FALSE(settings.isThisImgSaved(serial, "Locate_Image")) << serial;
    }
    EXPECT_EQ(tree(home.path()), (std::list<std::string>{".kvapi", ".kvapi/logs", ".kvapi/logs/logging.conf"}));
    EXPECT_TRUE(settings.getCamPaths().empty());
}

TEST(DebugSettings, WithoutHomeNothingIsWritten)
{
    TempHome scratch;
    const fs::path cwd = fs::current_path();
    fs::current_path(scratch.path());
    for (const char* home : {static_cast<const char*>(nullptr), "", "relative"}) {
        if (home == nullptr) {
            ::unsetenv("HOME");
        } else {
            ::setenv("HOME", home, 1);
        }
        CDebugSettings settings(KVAPILogger::c_defaultLogPath());
        EXPECT_EQ(settings.getLogPath(), "");
        EXPECT_EQ(CDebugSettings::c_logFilePath(), "");
        settings.createNewCamDirectory(c_serial);
        settings.setIsSuppressed(false);
        settings.setLogMode(2);
        settings.beginWriting();
        settings.logMsg(eINFO, "kept in memory");
        EXPECT_EQ(settings.getTxtFilePath(), "");
        EXPECT_EQ(settings.getSavePath("Locate_Image", c_serial), "");
        EXPECT_FALSE(settings.isThisImgSaved(c_serial, "Locate_Image"));
    }
    fs::current_path(cwd);
    EXPECT_TRUE(tree(scratch.path()).empty());
}

TEST(DebugSettings, RootThatCannotBeCreatedRaisesTheFileSystemError)
{
    TempHome home;
    writeFile(home.path() + "/.kvapi", "a file where the directory should be");
    EXPECT_THROW(CDebugSettings settings(KVAPILogger::c_defaultLogPath()), fs::filesystem_error);
}

TEST(DebugSettings, CopyAssignmentTakesTheRootOnly)
{
    TempHome home;
    CDebugSettings source(home.path() + "/other/");
    source.setLogFilePath(home.path() + "/elsewhere/");
    CDebugSettings target(KVAPILogger::c_defaultLogPath());
    target = source;
    EXPECT_EQ(target.getLogPath(), home.path() + "/other/");
    EXPECT_EQ(target.getLogFilePath(), home.logDir());
}

TEST(DebugSettings, ImageSaveFlags)
{
    struct Case {
        const char* name;
        std::optional<std::string> xml;
        std::string imgType;
        bool saved;
    };
    const auto flags = [](const std::string& entries) {
        return "<?xml version=\"1.0\"?>\n<DebugSettings>\n  <ImageSaveFlags>\n" + entries +
               "\n  </ImageSaveFlags>\n</DebugSettings>\n";
    };
    const Case cases[] = {
        {"no file", std::nullopt, "Locate_Image", false},
        {"empty file", "", "Locate_Image", false},
        {"not well-formed", "<DebugSettings><ImageSaveFlags>", "Locate_Image", false},
        {"binary", std::string("\0\x01\xfe<\xff>", 6), "Locate_Image", false},
        {"larger than 1 MiB", flags("<SaveFlag id=\"SaveLocateImages\">true</SaveFlag><!--" +
                                    std::string(1100000, 'x') + "-->"),
         "Locate_Image", false},
        {"no DebugSettings root", "<Other><ImageSaveFlags/></Other>", "Locate_Image", true},
        {"no ImageSaveFlags", "<DebugSettings><FilePaths/></DebugSettings>", "Locate_Image", true},
        {"no SaveFlag", flags("<Comment>x</Comment>"), "Locate_Image", true},
        {"true", flags("<SaveFlag id=\"SaveLocateImages\">true</SaveFlag>"), "Locate_Image", true},
        {"false", flags("<SaveFlag id=\"SaveLocateImages\">false</SaveFlag>"), "Locate_Image", false},
        {"spaces around true", flags("<SaveFlag id=\"SaveLocateImages\"> true </SaveFlag>"), "Locate_Image", false},
        {"upper case", flags("<SaveFlag id=\"SaveLocateImages\">TRUE</SaveFlag>"), "Locate_Image", false},
        {"no text", flags("<SaveFlag id=\"SaveLocateImages\"></SaveFlag>"), "Locate_Image", true},
        {"element instead of text", flags("<SaveFlag id=\"SaveLocateImages\"><b>false</b></SaveFlag>"),
         "Locate_Image", true},
        {"entity", flags("<SaveFlag id=\"SaveLocateImages\">&#116;rue</SaveFlag>"), "Locate_Image", true},
        {"no matching id", flags("<SaveFlag id=\"SaveCalImages\">false</SaveFlag>"), "Locate_Image", true},
        {"id compared exactly", flags("<SaveFlag id=\"savelocateimages\">false</SaveFlag>"), "Locate_Image", true},
        {"without id", flags("<SaveFlag>false</SaveFlag>"), "Locate_Image", true},
        {"calibration", flags("<SaveFlag id=\"SaveCalImages\">false</SaveFlag>"), "Cal_Image", false},
        {"tracking", flags("<SaveFlag id=\"SaveTrackImages\">false</SaveFlag>"), "Track_Image", false},
        {"any other type looks for Vexum", flags("<SaveFlag id=\"SaveVexumImages\">false</SaveFlag>"), "Other",
         false},
        {"found after a sibling of another name",
         flags("<SaveFlag id=\"SaveCalImages\">true</SaveFlag><Comment/>"
               "<SaveFlag id=\"SaveLocateImages\">false</SaveFlag>"),
         "Locate_Image", false},
        {"first match wins",
         flags("<SaveFlag id=\"SaveLocateImages\">false</SaveFlag><SaveFlag id=\"SaveLocateImages\">true</SaveFlag>"),
         "Locate_Image", false},
    };
    for (const auto& c : cases) {
        TempHome home;
        CDebugSettings settings(KVAPILogger::c_defaultLogPath());
        fs::create_directories(camDir(home));
        if (c.xml) {
            writeFile(xmlPath(home), *c.xml);
        }
        EXPECT_EQ(settings.isThisImgSaved(c_serial, c.imgType), c.saved) << c.name;
    }
}

TEST(DebugSettings, SavePaths)
{
    struct Case {
        const char* name;
        std::optional<std::string> xml;
        std::string pictureType;
        std::string path;
    };
    const auto paths = [](const std::string& entries) {
        return "<DebugSettings>\n  <FilePaths>\n" + entries + "\n  </FilePaths>\n</DebugSettings>\n";
    };
    const Case cases[] = {
        {"no file", std::nullopt, "Locate_Image", ""},
        {"not well-formed", "<DebugSettings><FilePaths><Path id=\"Locate_Image\">/x", "Locate_Image", ""},
        {"no FilePaths", "<DebugSettings><ImageSaveFlags/></DebugSettings>", "Locate_Image", ""},
        {"no Path", paths("<Comment>/x</Comment>"), "Locate_Image", ""},
        {"match", paths("<Path id=\"Locate_Image\">/data/locate</Path>"), "Locate_Image", "/data/locate"},
        {"whitespace kept", paths("<Path id=\"Locate_Image\"> /data/ x </Path>"), "Locate_Image", " /data/ x "},
        {"entities", paths("<Path id=\"Locate_Image\">/a&amp;b</Path>"), "Locate_Image", "/a&b"},
        {"empty", paths("<Path id=\"Locate_Image\"></Path>"), "Locate_Image", ""},
        {"element first", paths("<Path id=\"Locate_Image\"><b/>/x</Path>"), "Locate_Image", ""},
        {"other id", paths("<Path id=\"Cal_Image\">/cal</Path>"), "Locate_Image", ""},
        {"after a Comment sibling",
         paths("<Path id=\"Cal_Image\">/cal</Path><Comment>c</Comment><Path id=\"Track_Image\">/track</Path>"),
         "Track_Image", "/track"},
    };
    for (const auto& c : cases) {
        TempHome home;
        CDebugSettings settings(KVAPILogger::c_defaultLogPath());
        fs::create_directories(camDir(home));
        if (c.xml) {
            writeFile(xmlPath(home), *c.xml);
        }
        EXPECT_EQ(settings.getSavePath(c.pictureType, c_serial), c.path) << c.name;
    }
}
