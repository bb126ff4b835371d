#include "foundation/SettingsFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "foundation/Directive.h"

namespace kvq {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

}  // namespace

TSettingsFile::TSettingsFile(std::string path) : path_(std::move(path)) { Reload(); }

bool TSettingsFile::Reload() {
  sections_.clear();
  std::error_code ec;
  if (!std::filesystem::exists(path_, ec)) return true;
  std::ifstream in(path_, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return false;
  Parse(text.str());
  return true;
}

void TSettingsFile::Parse(std::string_view text) {
  sections_.clear();
  Section* current = nullptr;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = Trim(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      current = &FindOrAdd(Trim(line.substr(1, line.size() - 2)));
      continue;
    }
    const std::size_t eq = line.find('=');
    if (!current || eq == std::string_view::npos) continue;
    std::string_view key = Trim(line.substr(0, eq));
    if (key.empty()) continue;
    bool known = false;
    for (const auto& kv : current->values) known = known || SameText(kv.first, key);
    if (!known) current->values.emplace_back(std::string(key), std::string(Trim(line.substr(eq + 1))));
  }
}

std::string TSettingsFile::Text() const {
  std::string out;
  for (const auto& s : sections_) {
    if (!out.empty()) out += '\n';
    out += '[';
    out += s.name;
    out += "]\n";
    for (const auto& [k, v] : s.values) {
      out += k;
      out += '=';
      out += v;
      out += '\n';
    }
  }
  return out;
}

bool TSettingsFile::Flush(std::string* error) {
  auto fail = [&](const std::string& what) {
    if (error) *error = what + " \"" + path_ + "\": " + std::strerror(errno);
    return false;
  };
  std::filesystem::path target(path_);
  std::error_code ec;
  if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);
  std::string tmpl = path_ + ".tmp-XXXXXX";
  const int fd = ::mkstemp(tmpl.data());
  if (fd < 0) return fail("Cannot write settings file");
  const std::string text = Text();
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      ::unlink(tmpl.c_str());
      return fail("Cannot write settings file");
    }
    done += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    ::unlink(tmpl.c_str());
    return fail("Cannot write settings file");
  }
  if (std::rename(tmpl.c_str(), path_.c_str()) != 0) {
    ::unlink(tmpl.c_str());
    return fail("Cannot replace settings file");
  }
  return true;
}

const TSettingsFile::Section* TSettingsFile::Find(std::string_view section) const {
  for (const auto& s : sections_)
    if (SameText(s.name, section)) return &s;
  return nullptr;
}

TSettingsFile::Section& TSettingsFile::FindOrAdd(std::string_view section) {
  for (auto& s : sections_)
    if (SameText(s.name, section)) return s;
  sections_.push_back({std::string(section), {}});
  return sections_.back();
}

std::string TSettingsFile::ReadString(std::string_view section, std::string_view key,
                                      std::string_view fallback) const {
  if (const Section* s = Find(section))
    for (const auto& [k, v] : s->values)
      if (SameText(k, key)) return v;
  return std::string(fallback);
}

int TSettingsFile::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
  const std::string text = ReadString(section, key, "");
  std::string_view t = Trim(text);
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  int value = 0;
  auto r = std::from_chars(t.data(), t.data() + t.size(), value);
  if (t.empty() || r.ec != std::errc() || r.ptr != t.data() + t.size()) return fallback;
  return value;
}

bool TSettingsFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void TSettingsFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  std::string v(value);
  for (char& c : v)
    if (c == '\r' || c == '\n') c = ' ';
  Section& s = FindOrAdd(section);
  for (auto& kv : s.values)
    if (SameText(kv.first, key)) {
      kv.second = std::move(v);
      return;
    }
  s.values.emplace_back(std::string(key), std::move(v));
}

void TSettingsFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

void TSettingsFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

bool TSettingsFile::SectionExists(std::string_view section) const { return Find(section) != nullptr; }

bool TSettingsFile::ValueExists(std::string_view section, std::string_view key) const {
  if (const Section* s = Find(section))
    for (const auto& kv : s->values)
      if (SameText(kv.first, key)) return true;
  return false;
}

std::vector<std::string> TSettingsFile::Sections() const {
  std::vector<std::string> r;
  for (const auto& s : sections_) r.push_back(s.name);
  return r;
}

std::vector<std::string> TSettingsFile::Keys(std::string_view section) const {
  std::vector<std::string> r;
  if (const Section* s = Find(section))
    for (const auto& kv : s->values) r.push_back(kv.first);
  return r;
}

std::vector<std::pair<std::string, std::string>> TSettingsFile::Values(std::string_view section) const {
  if (const Section* s = Find(section)) return s->values;
  return {};
}

void TSettingsFile::EraseSection(std::string_view section) {
  for (auto it = sections_.begin(); it != sections_.end(); ++it)
    if (SameText(it->name, section)) {
      sections_.erase(it);
      return;
    }
}

void TSettingsFile::DeleteKey(std::string_view section, std::string_view key) {
  for (auto& s : sections_)
    if (SameText(s.name, section))
      for (auto it = s.values.begin(); it != s.values.end(); ++it)
        if (SameText(it->first, key)) {
          s.values.erase(it);
          return;
        }
}

void TSettingsFile::Clear() { sections_.clear(); }

}  // namespace kvq
