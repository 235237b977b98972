#include "tools/validate/ResultWire.h"

#include <cstdlib>
#include <vector>

namespace {

const char kStart = '\x1E';
const char kSeparator = '\x1F';
const char* const kKinds[] = {"check", "doing", "result", "done"};
const char* const kVerdicts[] = {"pass", "fail", "skip"};

// One field per tag; the tags that may repeat keep their order.
const char kName = 'n';
const char kVerdict = 'v';
const char kSkipReason = 's';
const char kNote = 'o';
const char kFailure = 'f';
const char kWarning = 'w';
const char kFailures = 'F';
const char kWarnings = 'W';
const char kFigureName = 'g';
const char kFigureValue = 'h';
const char kUnloadable = 'u';

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case kStart:
            out += "\\S";
            break;
        case kSeparator:
            out += "\\F";
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool unescaped(const std::string& text, std::string& out) {
    const std::string from = "\\nrSF";
    const std::string to = std::string("\\\n\r") + kStart + kSeparator;
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        size_t which = i + 1 < text.size() ? from.find(text[++i]) : std::string::npos;
        if (which == std::string::npos)
            return false;
        out += to[which];
    }
    return true;
}

void field(std::string& line, char tag, const std::string& value) {
    line += kSeparator;
    line += tag;
    line += escaped(value);
}

void resultFields(std::string& line, const CheckResult& result) {
    field(line, kName, result.name);
    field(line, kVerdict, kVerdicts[static_cast<int>(result.verdict)]);
    if (!result.skipReason.empty())
        field(line, kSkipReason, result.skipReason);
    for (const std::string& note : result.notes)
        field(line, kNote, note);
    for (const Finding& finding : result.findings)
        field(line, finding.kind == Finding::Kind::Failure ? kFailure : kWarning, finding.text);
    field(line, kFailures, std::to_string(result.failures));
    field(line, kWarnings, std::to_string(result.warnings));
    for (const Figure& figure : result.figures) {
        field(line, kFigureName, figure.name);
        field(line, kFigureValue, figure.value);
    }
    if (result.unloadable)
        field(line, kUnloadable, "1");
}

bool count(const std::string& text, int& value) {
    char* end = nullptr;
    long parsed = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != 0 || parsed < 0 || parsed > 0x7FFFFFFF)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

bool verdict(const std::string& text, Verdict& value) {
    for (int i = 0; i < 3; ++i) {
        if (text == kVerdicts[i]) {
            value = static_cast<Verdict>(i);
            return true;
        }
    }
    return false;
}

bool resultField(char tag, const std::string& value, CheckResult& result) {
    switch (tag) {
    case kName:
        result.name = value;
        return true;
    case kVerdict:
        return verdict(value, result.verdict);
    case kSkipReason:
        result.skipReason = value;
        return true;
    case kNote:
        result.notes.push_back(value);
        return true;
    case kFailure:
        result.findings.push_back({Finding::Kind::Failure, value});
        return true;
    case kWarning:
        result.findings.push_back({Finding::Kind::Warning, value});
        return true;
    case kFailures:
        return count(value, result.failures);
    case kWarnings:
        return count(value, result.warnings);
    case kFigureName:
        result.figures.push_back({value, ""});
        return true;
    case kFigureValue:
        if (result.figures.empty())
            return false;
        result.figures.back().value = value;
        return true;
    case kUnloadable:
        result.unloadable = value == "1";
        return true;
    }
    return false;
}

std::vector<std::string> split(const std::string& text) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == kSeparator)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

}  // namespace

std::string ResultWire::encode(const GroupMessage& message) {
    std::string line(1, kStart);
    line += kKinds[static_cast<int>(message.kind)];
    if (message.kind == GroupMessage::Kind::Result)
        resultFields(line, message.result);
    else if (message.kind != GroupMessage::Kind::GroupDone)
        field(line, kName, message.text);
    return line;
}

bool ResultWire::decode(const std::string& line, GroupMessage& message) {
    size_t start = line.find(kStart);
    if (start == std::string::npos)
        return false;
    std::vector<std::string> parts = split(line.substr(start + 1));
    message = GroupMessage();
    int kind = 0;
    while (kind < 4 && parts[0] != kKinds[kind])
        ++kind;
    if (kind == 4)
        return false;
    message.kind = static_cast<GroupMessage::Kind>(kind);
    for (size_t i = 1; i < parts.size(); ++i) {
        std::string value;
        if (parts[i].empty() || !unescaped(parts[i].substr(1), value))
            return false;
        if (message.kind == GroupMessage::Kind::Result) {
            if (!resultField(parts[i][0], value, message.result))
                return false;
        } else if (parts[i][0] == kName) {
            message.text = value;
        } else {
            return false;
        }
    }
    return true;
}
