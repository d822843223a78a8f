#include "tokenregistry.h"
#include <cstdint>

TokenRegistry::TokenRegistry()
{
    std::random_device device;
    std::seed_seq seed{device(), device(), device(), device(), device(), device(), device(), device()};
    m_random.seed(seed);
}

std::string TokenRegistry::issue(const std::string &value)
{
    static const char kHex[] = "0123456789abcdef";
    std::lock_guard<std::mutex> lock(m_mutex);
    std::string token;
    do {
        token.clear();
        for (int word = 0; word < 2; ++word) {
            uint64_t bits = m_random();
            for (int i = 0; i < 16; ++i, bits >>= 4)
                token += kHex[bits & 0xF];
        }
    } while (m_valueByToken.count(token));

    m_valueByToken.emplace(token, value);
    m_order.push_back(token);
    if (m_order.size() > kMaxTokens) {
        m_valueByToken.erase(m_order.front());
        m_order.pop_front();
    }
    return token;
}

std::optional<std::string> TokenRegistry::find(const std::string &token) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_valueByToken.find(token);
    if (it == m_valueByToken.end())
        return std::nullopt;
    return it->second;
}
