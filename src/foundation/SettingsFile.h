// A sectioned key=value settings file ("[Section]" lines, "Key=Value" lines).
//
// Section and key names compare without regard to case and keep their file
// order. The file is read whole when opened and written whole by Flush(),
// which replaces it atomically (a temporary file renamed over it), so a crash
// never leaves a half-written file. A missing file reads as empty. Integers are
// decimal; booleans are written "1" and "0", and any integer other than 0 reads
// as true. Keys may contain commas. Date-time values are left to the callers.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kvq {

class TSettingsFile {
 public:
  // Reads `path` whole; a missing or unreadable file reads as empty.
  explicit TSettingsFile(std::string path);

  const std::string& Path() const { return path_; }

  // Reads the file again, dropping unsaved changes. False when the file exists
  // but cannot be read (the contents are then empty).
  bool Reload();

  // Writes the whole file atomically. False with `error` set on failure; the
  // previous file is then left as it was.
  bool Flush(std::string* error = nullptr);

  std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback) const;
  int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

  // Line breaks in a value are written as blanks (a value is one line).
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  // Section names in file order.
  std::vector<std::string> Sections() const;
  // Key names of a section in file order.
  std::vector<std::string> Keys(std::string_view section) const;
  // Key/value pairs of a section in file order.
  std::vector<std::pair<std::string, std::string>> Values(std::string_view section) const;

  void EraseSection(std::string_view section);
  void DeleteKey(std::string_view section, std::string_view key);
  void Clear();

  // Parses `text` as file contents (replacing what is held).
  void Parse(std::string_view text);
  // The file contents as Flush() writes them.
  std::string Text() const;

 private:
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> values;
  };
  const Section* Find(std::string_view section) const;
  Section& FindOrAdd(std::string_view section);

  std::string path_;
  std::vector<Section> sections_;
};

}  // namespace kvq
