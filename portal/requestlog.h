#pragma once
#include <string>

// One request log line: "METHOD /path?query STATUS". Values of the query keys
// password and ckcode become "***", and anything but printable ASCII is
// percent-encoded so a request cannot forge or break log lines.
std::string requestLogLine(const std::string &method, const std::string &target, int status);

// Writes a whole line to stderr; worker threads log concurrently.
void writeLogLine(const std::string &line);
