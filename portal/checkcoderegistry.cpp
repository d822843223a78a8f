#include "checkcoderegistry.h"
#include <cstdint>

CheckCodeRegistry::CheckCodeRegistry()
{
    std::random_device device;
    std::seed_seq seed{device(), device(), device(), device(), device(), device(), device(), device()};
    m_random.seed(seed);
}

std::string CheckCodeRegistry::issue(const std::string &username)
{
    static const char kHex[] = "0123456789abcdef";
    std::lock_guard<std::mutex> lock(m_mutex);
    std::string code;
    do {
        code.clear();
        for (int word = 0; word < 2; ++word) {
            uint64_t bits = m_random();
            for (int i = 0; i < 16; ++i, bits >>= 4)
                code += kHex[bits & 0xF];
        }
    } while (m_userByCode.count(code));

    m_userByCode.emplace(code, username);
    m_order.push_back(code);
    if (m_order.size() > kMaxCodes) {
        m_userByCode.erase(m_order.front());
        m_order.pop_front();
    }
    return code;
}

bool CheckCodeRegistry::isValid(const std::string &username, const std::string &code) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_userByCode.find(code);
    return it != m_userByCode.end() && it->second == username;
}
