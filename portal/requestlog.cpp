#include "requestlog.h"
#include "textutil.h"
#include <cstdio>
#include <mutex>

namespace {

const size_t kMaxShown = 1024;

std::string printable(const std::string &text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (c > 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
        if (out.size() >= kMaxShown) {
            out += "...";
            break;
        }
    }
    return out;
}

bool isSecretKey(const std::string &rawKey)
{
    // Decoded the way the server decodes it, so "pass%77ord" is masked too.
    const std::string key = percentDecode(rawKey, true);
    return key == "password" || key == "ckcode";
}

std::string redactQuery(const std::string &query)
{
    std::string out;
    size_t start = 0;
    for (;;) {
        const size_t end = query.find('&', start);
        const std::string item = query.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const size_t equals = item.find('=');
        const std::string key = item.substr(0, equals);
        if (equals != std::string::npos && isSecretKey(key))
            out += key + "=***";
        else
            out += item;
        if (end == std::string::npos)
            break;
        out += '&';
        start = end + 1;
    }
    return out;
}

} // namespace

std::string requestLogLine(const std::string &method, const std::string &target, int status)
{
    const size_t question = target.find('?');
    std::string shown = target.substr(0, question);
    if (question != std::string::npos)
        shown += '?' + redactQuery(target.substr(question + 1));
    // Masking happens before truncation, so a cut never exposes part of a secret.
    return printable(method.empty() ? "-" : method) + ' ' + printable(shown.empty() ? "-" : shown) + ' '
        + std::to_string(status);
}

void writeLogLine(const std::string &line)
{
    static std::mutex mutex;
    std::lock_guard<std::mutex> lock(mutex);
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}
