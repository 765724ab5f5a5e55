#include "logging/DebugSettings.h"

#include <tinyxml2.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

namespace kv {

namespace {

namespace fs = std::filesystem;

constexpr const char* c_confFileName = "logging.conf";
constexpr const char* c_logLevelKey = "logLevel";
constexpr const char* c_defaultConfText = "# KVAPI Master Logging Control\n"
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
constexpr const char* c_debugSettingsSuffix = "_DebugSettings.xml";
constexpr const char* c_camSubFolders[] = {"locateImgs", "calImgs", "trackImgs", "vexImgs", "logs"};

// Both files are a few lines long; anything far larger is not one of them and
// is not read into memory.
constexpr size_t c_maxConfBytes = 64 * 1024;
constexpr uintmax_t c_maxDebugSettingsBytes = 1024 * 1024;

// The serial text comes from the camera: it must name one directory inside
// the root, not a path elsewhere.
bool isPlainName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

// True when this call created the directory.
bool createDirectory(const std::string& path)
{
    return fs::create_directories(path);
}

// key -> value of the `key = value` lines; comments cut, all blanks removed,
// later lines win.
std::map<std::string, std::string> readConf(const std::string& file)
{
    std::map<std::string, std::string> pairs;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return pairs;
    }
    std::string text(c_maxConfBytes, '\0');
    in.read(&text[0], static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));

    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        start = end + 1;

        const size_t comment = line.find('#');
        if (comment != std::string::npos) {
            line.erase(comment);
        }
        std::string packed;
        for (char c : line) {
            if (c != ' ' && c != '\t') {
                packed += c;
            }
        }
        const size_t equals = packed.find('=');
        if (packed.empty() || equals == std::string::npos) {
            continue;
        }
        pairs[packed.substr(0, equals)] = packed.substr(equals + 1);
    }
    return pairs;
}

// Leading decimal digits, as atoi would read them; no number gives 0.
// Saturates instead of overflowing.
long long toLevel(const std::string& value)
{
    char* end = nullptr;
    const long long level = std::strtoll(value.c_str(), &end, 10);
    if (end == value.c_str()) {
        return 0;
    }
    return level;
}

void writeDefaultConf(const std::string& file)
{
    std::ofstream out(file, std::ios::binary);
    out << c_defaultConfText;
}

bool loadDebugSettings(tinyxml2::XMLDocument& document, const std::string& file)
{
    std::error_code error;
    if (!fs::is_regular_file(file, error)) {
        return false;
    }
    const uintmax_t size = fs::file_size(file, error);
    if (error || size > c_maxDebugSettingsBytes) {
        return false;
    }
    return document.LoadFile(file.c_str()) == tinyxml2::XML_SUCCESS;
}

// From `first` through all its following sibling elements, whatever their
// names: the first whose "id" is exactly `id`.
const tinyxml2::XMLElement* findById(const tinyxml2::XMLElement* first, const std::string& id)
{
    for (const tinyxml2::XMLElement* element = first; element != nullptr; element = element->NextSiblingElement()) {
        const char* attribute = element->Attribute("id");
        if (attribute != nullptr && id == attribute) {
            return element;
        }
    }
    return nullptr;
}

const tinyxml2::XMLElement* firstEntry(const tinyxml2::XMLDocument& document, const char* container,
                                       const char* entry)
{
    const tinyxml2::XMLElement* root = document.FirstChildElement("DebugSettings");
    const tinyxml2::XMLElement* group = root != nullptr ? root->FirstChildElement(container) : nullptr;
    return group != nullptr ? group->FirstChildElement(entry) : nullptr;
}

const char* saveFlagId(const std::string& imgType)
{
    if (imgType == "Locate_Image") {
        return "SaveLocateImages";
    }
    if (imgType == "Cal_Image") {
        return "SaveCalImages";
    }
    if (imgType == "Track_Image") {
        return "SaveTrackImages";
    }
    return "SaveVexumImages";
}

} // namespace

std::string CDebugSettings::c_logFilePath()
{
    const std::string root = c_defaultLogPath();
    return root.empty() ? root : root + "/";
}

CDebugSettings::CDebugSettings(std::string path) : KVAPILogger(path), m_masterPath(std::move(path))
{
    createDebugPath(m_masterPath);
}

CDebugSettings::~CDebugSettings() = default;

CDebugSettings& CDebugSettings::operator=(const CDebugSettings& other)
{
    m_masterPath = other.getLogPath();
    return *this;
}

void CDebugSettings::createDebugPath(const std::string& path)
{
    if (path.empty()) {
        return;
    }
    if (fs::exists(path) || createDirectory(path)) {
        initFile(path, "");
    }
}

void CDebugSettings::initFile(const std::string&, const std::string&)
{
    const std::string directory = c_logFilePath();
    if (directory.empty()) {
        return;
    }
    const std::string file = directory + c_confFileName;
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (status.type() == fs::file_type::not_found) {
        writeDefaultConf(file);
        return;
    }
    if (error) {
        return;
    }

    const auto pairs = readConf(file);
    const auto entry = pairs.find(c_logLevelKey);
    if (entry == pairs.end()) {
        return;
    }
    const std::string& value = entry->second;
    const long long level = toLevel(value);
    try {
        setIsSuppressed(level == 0);
        // Out-of-range values must not wrap onto a valid level.
        setLogMode(level >= 0 && level <= 5 ? static_cast<unsigned short>(level) : USHRT_MAX);
        if (level > 0) {
            beginWriting();
            logInfo("------KVAPI Logging Session Started via Global Log Settings------");
        }
    } catch (const std::exception&) {
        logMsg(logging::eWARN,
               "Invalid argument passed into global logLevel setting: Expected [0, 5], Got [" + value + "]");
    }
}

void CDebugSettings::createNewCamDirectory(const std::string& serial)
{
    if (m_masterPath.empty()) {
        return;
    }
    if (!isPlainName(serial)) {
        logMsg(logging::eWARN, "No debug directory for camera serial [" + serial + "]: not a directory name");
        return;
    }
    const std::string camDirectory = m_masterPath + serial;
    bool allNew = createDirectory(camDirectory);
    for (const char* folder : c_camSubFolders) {
        const bool created = createDirectory(camDirectory + "/" + folder);
        allNew = allNew && created;
    }
    setLogFilePath(camDirectory + "/logs/");
    logMsg(logging::eINFO, "---BRISA DEBUG LOGGER---", logging::eNoIndent);
    if (!allNew) {
        m_camPaths.push_back(camDirectory);
        initFile(camDirectory, "");
    }
}

std::string CDebugSettings::getSavePath(const std::string& pictureType, const std::string& serial)
{
    if (m_masterPath.empty() || !isPlainName(serial)) {
        return "";
    }
    tinyxml2::XMLDocument document(true, tinyxml2::PRESERVE_WHITESPACE);
    if (!loadDebugSettings(document, m_masterPath + serial + "/" + serial + c_debugSettingsSuffix)) {
        return "";
    }
    const tinyxml2::XMLElement* match = findById(firstEntry(document, "FilePaths", "Path"), pictureType);
    if (match == nullptr) {
        return "";
    }
    const tinyxml2::XMLNode* child = match->FirstChild();
    const tinyxml2::XMLText* text = child != nullptr ? child->ToText() : nullptr;
    return text != nullptr && text->Value() != nullptr ? text->Value() : "";
}

bool CDebugSettings::isThisImgSaved(const std::string& serial, const std::string& imgType)
{
    const std::string root = c_defaultLogPath();
    if (root.empty() || !isPlainName(serial)) {
        return false;
    }
    tinyxml2::XMLDocument document(true, tinyxml2::PRESERVE_WHITESPACE);
    if (!loadDebugSettings(document, root + serial + "/" + serial + c_debugSettingsSuffix)) {
        return false;
    }
    const tinyxml2::XMLElement* first = firstEntry(document, "ImageSaveFlags", "SaveFlag");
    if (first == nullptr) {
        return true;
    }
    const tinyxml2::XMLElement* match = findById(first, saveFlagId(imgType));
    if (match == nullptr) {
        return true;
    }
    const tinyxml2::XMLNode* child = match->FirstChild();
    const tinyxml2::XMLText* text = child != nullptr ? child->ToText() : nullptr;
    if (text == nullptr || text->Value() == nullptr) {
        return true;
    }
    return std::string(text->Value()) == "true";
}

} // namespace kv
