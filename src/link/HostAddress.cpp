#include "HostAddress.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <cstring>

namespace hostaddress
{
    namespace
    {
        constexpr std::size_t longestHostName = 253;

        bool onlyCharactersOf (const std::string& text, const char* allowed)
        {
            return text.find_first_not_of (allowed) == std::string::npos;
        }
    }

    std::optional<std::uint32_t> parseDotted (const std::string& text)
    {
        // inet_pton takes exactly four decimal parts, unlike inet_aton's shorthands.
        in_addr parsed {};
        if (inet_pton (AF_INET, text.c_str(), &parsed) != 1)
            return std::nullopt;
        return parsed.s_addr;
    }

    std::optional<std::uint32_t> resolve (const std::string& host)
    {
        if (host.empty() || host.size() > longestHostName)
            return std::nullopt;

        // Digits alone must be a full dotted address: the resolver would also take "1234"
        // or "10.1" as addresses, which is not what anyone types on purpose.
        if (onlyCharactersOf (host, "0123456789."))
            return parseDotted (host);

        if (! onlyCharactersOf (host, "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-"))
            return std::nullopt;

        addrinfo hints {};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_DGRAM;
        addrinfo* found = nullptr;
        if (getaddrinfo (host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
            return std::nullopt;

        const auto address = reinterpret_cast<const sockaddr_in*> (found->ai_addr)->sin_addr.s_addr;
        freeaddrinfo (found);
        return address;
    }

    std::string dotted (std::uint32_t address)
    {
        std::uint8_t bytes[4];
        std::memcpy (bytes, &address, sizeof bytes);
        return std::to_string (bytes[0]) + "." + std::to_string (bytes[1]) + "." + std::to_string (bytes[2]) + "."
               + std::to_string (bytes[3]);
    }

    bool isPlaceholder (std::uint32_t address)
    {
        return (ntohl (address) >> 24) == 0;
    }
}
