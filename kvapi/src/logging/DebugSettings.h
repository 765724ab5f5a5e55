#pragma once

#include "logging/Logger.h"

#include <list>
#include <string>

namespace kv {

class CDebugSettings;
using CDebugSettingsPtr = std::shared_ptr<CDebugSettings>;

// The gateway's logger together with the debug directory tree in the user's
// home: the root (global logging.conf, day logs) and one directory per camera,
// named by its serial text, with image folders, a "logs" folder and an
// optional <serial>_DebugSettings.xml.
//
// Without a usable HOME (unset or relative) the root is empty: no directory
// or file is created or read, the log stays in its buffer, save paths are
// empty and no image type is saved.
//
// Runs on the application thread that calls the gateway; no lock of its own.
class CDebugSettings : public KVAPILogger {
public:
    // Directory in which logging.conf is read and created; empty without HOME.
    static std::string c_logFilePath();

    // Creates the root (with missing parents) and applies logging.conf.
    // Throws std::filesystem::filesystem_error when the root can be neither
    // checked nor created.
    explicit CDebugSettings(std::string path);
    ~CDebugSettings() override;
    CDebugSettings(const CDebugSettings&) = delete;
    // Copies the root only; the log keeps its own state.
    CDebugSettings& operator=(const CDebugSettings& other);

    void createDebugPath(const std::string& path);
    // Reads (or creates with its default text) the global logging.conf and
    // applies its logLevel. Both arguments are ignored: there is one file.
    void initFile(const std::string& path, const std::string& name);
    // Prepares the camera's directories and moves the log path into its
    // "logs" folder; re-reads logging.conf when the directories existed.
    // A serial that is not a plain directory name prepares nothing.
    void createNewCamDirectory(const std::string& serial);
    // The Path of that id in the camera's XML file, or "".
    std::string getSavePath(const std::string& pictureType, const std::string& serial);
    // Whether images of the type are saved for the camera (false without a
    // readable XML file, true when it names no flag for the type).
    bool isThisImgSaved(const std::string& serial, const std::string& imgType);

    std::string getLogPath() const { return m_masterPath; }
    // Camera directories set up while they already existed, oldest first.
    const std::list<std::string>& getCamPaths() const { return m_camPaths; }

private:
    std::string m_masterPath;
    std::list<std::string> m_camPaths;
};

} // namespace kv
