#pragma once
#include <deque>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <unordered_map>

// Random tokens that stand for a value only the portal knows (an account
// name): the login API's check codes and the session cookies' ids. They live
// only in memory, so a restarted portal rejects every earlier token. The
// server's worker threads issue and look up tokens concurrently.
class TokenRegistry
{
public:
    TokenRegistry();

    // A fresh 32-character lower-case hex token standing for value.
    std::string issue(const std::string &value);
    // The value the token stands for; nothing for an unknown or dropped token.
    std::optional<std::string> find(const std::string &token) const;

private:
    // Bounds memory if a client logs in in a loop; the oldest tokens go first.
    static const size_t kMaxTokens = 4096;

    mutable std::mutex m_mutex;
    std::mt19937_64 m_random;
    std::unordered_map<std::string, std::string> m_valueByToken;
    std::deque<std::string> m_order;
};
