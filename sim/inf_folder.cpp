#include "sim/inf_folder.h"

#include <map>

#include "platform/text_format.h"
#include "platform/win_codes.h"
#include "sim/sim_path.h"

namespace tw::sim {
namespace {

bool IsBlank(char16_t unit) {
    return unit == u' ' || unit == u'\t' || unit == u'\r';
}

std::u16string_view Trim(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The line up to a comment (a semicolon outside quotes).
std::u16string_view WithoutComment(std::u16string_view line) {
    bool quoted = false;
    for (std::size_t at = 0; at < line.size(); ++at) {
        if (line[at] == u'"') {
            quoted = !quoted;
        } else if (line[at] == u';' && !quoted) {
            return line.substr(0, at);
        }
    }
    return line;
}

// A value with its quotes taken off ("a ""b""" is a "b").
std::u16string Unquote(std::u16string_view value) {
    std::u16string out;
    bool quoted = false;
    for (std::size_t at = 0; at < value.size(); ++at) {
        char16_t unit = value[at];
        if (unit != u'"') {
            out.push_back(unit);
        } else if (quoted && at + 1 < value.size() && value[at + 1] == u'"') {
            out.push_back(u'"');
            ++at;
        } else {
            quoted = !quoted;
        }
    }
    return out;
}

// Replaces %key% with the string of that key; %% is a percent sign; an
// unknown key stands as written.
std::u16string Substitute(std::u16string_view value,
                          const std::map<std::u16string, std::u16string>& strings) {
    std::u16string out;
    std::size_t at = 0;
    while (at < value.size()) {
        std::size_t open = value.find(u'%', at);
        std::size_t close = open == std::u16string_view::npos ? open : value.find(u'%', open + 1);
        if (close == std::u16string_view::npos) {
            out.append(value.substr(at));
            break;
        }
        out.append(value.substr(at, open - at));
        std::u16string_view key = value.substr(open + 1, close - open - 1);
        auto found = strings.find(FoldCase(key));
        if (key.empty()) {
            out.push_back(u'%');
        } else if (found != strings.end()) {
            out.append(found->second);
        } else {
            out.append(value.substr(open, close - open + 1));
        }
        at = close + 1;
    }
    return out;
}

void AppendText(std::vector<std::uint8_t>& bytes, std::u16string_view text) {
    for (char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
}

}  // namespace

std::u16string DecodeInfText(std::span<const std::uint8_t> bytes) {
    std::u16string text;
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        for (std::size_t at = 2; at + 1 < bytes.size(); at += 2) {
            text.push_back(static_cast<char16_t>(bytes[at] | (bytes[at + 1] << 8)));
        }
        return text;
    }
    // 8-bit text: each byte is the character of the same value.
    for (std::uint8_t byte : bytes) {
        text.push_back(static_cast<char16_t>(byte));
    }
    return text;
}

std::uint32_t ParseInfVersion(std::u16string_view text, InfVersion& version) {
    std::vector<std::pair<std::u16string, std::u16string>> raw;
    std::map<std::u16string, std::u16string> strings;  // by folded key
    enum class Section { Other, Version, Strings } section = Section::Other;

    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(u'\n', start);
        if (end == std::u16string_view::npos) {
            end = text.size();
        }
        std::u16string_view line = Trim(WithoutComment(text.substr(start, end - start)));
        start = end + 1;
        if (line.empty()) {
            continue;
        }
        if (line.front() == u'[') {
            std::size_t close = line.find(u']');
            if (close == std::u16string_view::npos) {
                return kErrorBadSectionNameLine;
            }
            std::u16string name = FoldCase(Trim(line.substr(1, close - 1)));
            section = name == u"VERSION"   ? Section::Version
                      : name == u"STRINGS" ? Section::Strings
                                           : Section::Other;
            continue;
        }
        std::size_t equals = line.find(u'=');
        if (section == Section::Other || equals == std::u16string_view::npos) {
            continue;
        }
        std::u16string key(Trim(line.substr(0, equals)));
        std::u16string value = Unquote(Trim(line.substr(equals + 1)));
        if (section == Section::Version) {
            raw.emplace_back(std::move(key), std::move(value));
        } else {
            strings[FoldCase(key)] = std::move(value);
        }
    }
    version.entries.clear();
    for (auto& [key, value] : raw) {
        version.entries.emplace_back(key, Substitute(value, strings));
    }
    return 0;
}

std::vector<std::uint8_t> EncodeVersionData(const InfVersion& version) {
    auto count = static_cast<std::uint32_t>(version.entries.size());
    std::vector<std::uint8_t> bytes;
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<std::uint8_t>(count >> shift));
    }
    AppendText(bytes, version.path);
    for (const auto& [key, value] : version.entries) {
        AppendText(bytes, key);
        AppendText(bytes, value);
    }
    return bytes;
}

std::optional<InfVersion> DecodeVersionData(std::span<const std::uint8_t> data) {
    if (data.size() < 4) {
        return std::nullopt;
    }
    std::uint32_t count =
        data[0] | (data[1] << 8) | (data[2] << 16) | (std::uint32_t{data[3]} << 24);
    std::vector<std::u16string> texts;
    std::u16string current;
    for (std::size_t at = 4; at + 1 < data.size(); at += 2) {
        auto unit = static_cast<char16_t>(data[at] | (data[at + 1] << 8));
        if (unit != u'\0') {
            current.push_back(unit);
            continue;
        }
        texts.push_back(std::move(current));
        current.clear();
    }
    // The path and the counted pairs, each text with its terminator.
    if (texts.size() != 1 + std::size_t{count} * 2 || !current.empty()) {
        return std::nullopt;
    }
    InfVersion version;
    version.path = texts[0];
    for (std::size_t i = 1; i + 1 < texts.size(); i += 2) {
        version.entries.emplace_back(texts[i], texts[i + 1]);
    }
    return version;
}

InfFolder::InfFolder(FileSystem& files, Trace& trace, std::u16string windowsFolder)
    : files_(files),
      trace_(trace),
      windowsFolder_(std::move(windowsFolder)),
      folder_(JoinPath(windowsFolder_, u"inf")) {
    files_.addFolders(folder_);
}

std::u16string InfFolder::pathOf(std::u16string_view name) const {
    return JoinPath(folder_, name);
}

std::u16string InfFolder::precompiledPathOf(std::u16string_view name) const {
    std::u16string path = pathOf(name);
    std::size_t dot = path.rfind(u'.');
    if (dot != std::u16string::npos && dot > path.rfind(u'\\')) {
        path.resize(dot);
    }
    return path + u".pnf";
}

std::vector<std::uint8_t> EncodeInfText(std::string_view text, InfEncoding encoding) {
    std::vector<std::uint8_t> bytes;
    if (encoding == InfEncoding::Utf16) {
        bytes = {0xFF, 0xFE};
        for (char16_t unit : platform::FromUtf8(text)) {
            bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
        }
    } else {
        for (char16_t unit : platform::FromUtf8(text)) {
            bytes.push_back(unit <= 0xFF ? static_cast<std::uint8_t>(unit) : std::uint8_t{'?'});
        }
    }
    return bytes;
}

void InfFolder::add(const InfPackage& package) {
    files_.addFile(pathOf(package.name), EncodeInfText(package.text, package.encoding),
                   package.attributes);
    if (package.precompiled) {
        // The precompiled form: its content is setup's own business.
        files_.addFile(precompiledPathOf(package.name), {'P', 'N', 'F', 0});
    }
}

bool InfFolder::holds(std::u16string_view name) const {
    return files_.isFile(pathOf(name));
}

bool InfFolder::holdsPrecompiled(std::u16string_view name) const {
    return files_.isFile(precompiledPathOf(name));
}

std::uint32_t InfFolder::readInformation(std::u16string_view infName, InfVersion& version) const {
    std::vector<std::u16string> candidates;
    if (infName.find(u'\\') != std::u16string_view::npos || IsAbsolutePath(infName)) {
        candidates.push_back(NormalizePath(infName));
    } else {
        candidates.push_back(pathOf(infName));
        candidates.push_back(JoinPath(JoinPath(windowsFolder_, u"System32"), infName));
    }
    for (const std::u16string& candidate : candidates) {
        const FileNode* node = files_.find(candidate);
        if (node == nullptr || node->folder) {
            continue;
        }
        version.path = node->path;
        return ParseInfVersion(DecodeInfText(node->bytes), version);
    }
    return win::kErrorFileNotFound;
}

std::uint32_t InfFolder::uninstall(std::u16string_view name) {
    std::u16string path = pathOf(name);
    if (std::uint32_t error = files_.lookupError(path)) {
        return error;
    }
    // The system's own removal clears the attributes that would stop it.
    files_.setAttributes(path, win::kFileAttributeArchive);
    if (std::uint32_t error = files_.deleteFile(path)) {
        return error;
    }
    std::u16string precompiled = precompiledPathOf(name);
    if (files_.isFile(precompiled)) {
        files_.setAttributes(precompiled, win::kFileAttributeArchive);
        files_.deleteFile(precompiled);
    }
    trace_.effect("driver package uninstalled " + Utf8(name));
    return 0;
}

}  // namespace tw::sim
