#pragma once
#include <cstdint>
#include <httplib.h>
#include <optional>
#include <string>

// A made-up file for testing the box's downloads (GET /download/file): any
// name, exactly `size` bytes of a fixed pattern, optionally throttled and
// optionally cut off midway.
struct GeneratedDownload
{
    static constexpr uint64_t kMaxSize = 64ull << 20;
    static constexpr uint64_t kMaxRate = 1ull << 30;
    static constexpr size_t kMaxNameBytes = 255;
    // A throttled download holds one of the server's worker threads throughout.
    static constexpr uint64_t kMaxSeconds = 600;

    std::string name;               // sent as given, "../" and all: the box must defend itself
    uint64_t size = 0;
    uint64_t rate = 0;              // bytes per second; 0 for as fast as possible
    std::optional<uint64_t> breakAt; // the connection closes after this many body bytes

    // From the query (name, size, rate, breakAt); false with the reason when
    // a value is missing or out of bounds.
    static bool fromQuery(const httplib::Request &req, GeneratedDownload &out, std::string &error);

    // Byte n of every generated file is n mod 251: a prime, so a lost or
    // repeated chunk of any power-of-two size shows.
    static char byteAt(uint64_t offset) { return static_cast<char>(offset % 251); }

    // attachment with an ASCII filename= for old readers and the exact name,
    // percent-encoded, in filename*=; neither can carry a line break.
    std::string contentDisposition() const;

    // Headers and a content provider that writes from the worker thread.
    void serve(httplib::Response &res) const;
};
