// The settings store kept in a per-user text file (the portable build's store).
//
// The file is <base>/Hivesweep v6.0/settings.ini, INI-like: a [Settings]
// section of key=value lines. Keys match without regard to ASCII letter case;
// a write of a key stored under another spelling replaces that line in place
// and keeps the first spelling. Values are stored exactly, blanks included.
// In keys and values a backslash, a line feed and a carriage return are
// written as \\, \n and \r; in keys also = and [ as \= and \[. Every other
// line of the file (other keys, other sections, lines that do not parse) is
// kept as it is by a write, and ignored by a read. The file is read afresh by
// every Read: nothing is cached.
#pragma once

#include <string>
#include <string_view>

#include "settings/settings_store.h"

namespace hs {

class FileSettingsStore final : public SettingsStore {
public:
    // baseFolder holds the application's folder; it and the application's
    // folder are created by the first write. An empty base gives a store
    // that holds nothing and whose writes fail, rather than one that writes
    // below the file-system root or the working folder.
    explicit FileSettingsStore(std::string baseFolder);

    // The user's configuration folder: $XDG_CONFIG_HOME when it is an
    // absolute path, else $HOME/.config; empty when neither is usable.
    static std::string DefaultConfigBase();

    // The settings file's path; empty for an empty base.
    const std::string& FilePath() const { return filePath_; }

    // Rewrites the whole file: a temporary file in the same folder
    // (settings.ini.<process id>.tmp) is written, flushed to disk and renamed
    // over the old one, so a crash leaves either the old or the new file.
    // False when the folder cannot be created, the old file exists but
    // cannot be read, or the new one cannot be written; the old file is then
    // left as it was.
    [[nodiscard]] bool Write(std::string_view key, std::string_view text) override;

protected:
    // The first entry of a [Settings] section whose key matches; nothing
    // when there is none or the file cannot be read.
    std::optional<std::string> Get(std::string_view key) const override;

private:
    std::string folder_;
    std::string filePath_;
};

} // namespace hs
