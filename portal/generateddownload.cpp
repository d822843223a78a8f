#include "generateddownload.h"
#include "textutil.h"
#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

namespace {

const size_t kMaxChunk = 64 * 1024;

} // namespace

bool GeneratedDownload::fromQuery(const httplib::Request &req, GeneratedDownload &out, std::string &error)
{
    GeneratedDownload download;
    download.name = req.get_param_value("name");
    if (download.name.empty() || download.name.size() > kMaxNameBytes) {
        error = "expected a name of 1 to " + std::to_string(kMaxNameBytes) + " bytes";
        return false;
    }
    long long number = 0;
    if (!parseInt(req.get_param_value("size"), 0, static_cast<long long>(kMaxSize), number)) {
        error = "expected a size from 0 to " + std::to_string(kMaxSize);
        return false;
    }
    download.size = uint64_t(number);
    if (req.has_param("rate")) {
        if (!parseInt(req.get_param_value("rate"), 1, static_cast<long long>(kMaxRate), number)) {
            error = "expected a rate from 1 to " + std::to_string(kMaxRate) + " bytes per second";
            return false;
        }
        download.rate = uint64_t(number);
    }
    if (req.has_param("breakAt")) {
        if (!parseInt(req.get_param_value("breakAt"), 0, static_cast<long long>(download.size) - 1, number)) {
            error = "expected breakAt below size";
            return false;
        }
        download.breakAt = uint64_t(number);
    }
    const uint64_t bytes = std::min(download.size, download.breakAt.value_or(download.size));
    if (download.rate && bytes / download.rate > kMaxSeconds) {
        error = "the download would take longer than " + std::to_string(kMaxSeconds) + " s";
        return false;
    }
    out = std::move(download);
    return true;
}

std::string GeneratedDownload::contentDisposition() const
{
    std::string ascii;
    for (const unsigned char c : name) {
        if (c >= 0x80 && c < 0xC0)
            continue; // a UTF-8 continuation byte: its character is already one '_'
        const bool plain = c >= 0x20 && c < 0x7F && c != '"' && c != '\\';
        ascii += plain ? static_cast<char>(c) : '_';
    }
    return "attachment; filename=\"" + ascii + "\"; filename*=UTF-8''" + percentEncode(name);
}

void GeneratedDownload::serve(httplib::Response &res) const
{
    using Clock = std::chrono::steady_clock;
    struct Progress
    {
        bool started = false;
        Clock::time_point start;
        size_t first = 0; // a range request starts past 0
    };

    res.set_header("Content-Disposition", contentDisposition());
    res.set_header("Cache-Control", "no-store");
    // The body depends on its size alone: a strong validator for it lets a
    // client resume a broken download with a range request.
    res.set_header("ETag", "\"kavo-" + std::to_string(size) + "\"");
    auto progress = std::make_shared<Progress>();
    res.set_content_provider(
        size, "application/octet-stream",
        [download = *this, progress](size_t offset, size_t length, httplib::DataSink &sink) {
            if (!progress->started) {
                progress->started = true;
                progress->start = Clock::now();
                progress->first = offset;
            }
            const uint64_t sent = offset - progress->first;
            uint64_t chunk = std::min<uint64_t>(length, kMaxChunk);
            if (download.breakAt) {
                if (sent >= *download.breakAt)
                    return false; // httplib then drops the connection, short of Content-Length
                chunk = std::min(chunk, *download.breakAt - sent);
            }
            if (download.rate) {
                // About ten writes a second; byte n goes out n / rate seconds after the first.
                chunk = std::min(chunk, std::max<uint64_t>(1, download.rate / 10));
                std::this_thread::sleep_until(progress->start + std::chrono::microseconds(sent * 1000000 / download.rate));
            }
            std::string buffer(chunk, '\0');
            for (size_t i = 0; i < chunk; ++i)
                buffer[i] = byteAt(offset + i);
            return sink.write(buffer.data(), buffer.size());
        });
}
