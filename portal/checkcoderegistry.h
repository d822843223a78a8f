#pragma once
#include <deque>
#include <mutex>
#include <random>
#include <string>
#include <unordered_map>

// Check codes that the login API hands out in place of a password. They live
// only in memory, so a restarted portal rejects every earlier code. The
// server's worker threads issue and check codes concurrently.
class CheckCodeRegistry
{
public:
    CheckCodeRegistry();

    // A fresh 32-character lower-case hex code bound to username.
    std::string issue(const std::string &username);
    bool isValid(const std::string &username, const std::string &code) const;

private:
    // Bounds memory if a client logs in in a loop; the oldest codes go first.
    static const size_t kMaxCodes = 4096;

    mutable std::mutex m_mutex;
    std::mt19937_64 m_random;
    std::unordered_map<std::string, std::string> m_userByCode;
    std::deque<std::string> m_order;
};
