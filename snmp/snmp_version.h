// The SNMP version and the SNMPv3 user-based security a request travels with.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace tarnwick {

enum class SnmpVersion { V1, V2c, V3 };

enum class SecurityLevel { NoAuthNoPriv, AuthNoPriv, AuthPriv };
enum class AuthProtocol { Md5, Sha, Sha224, Sha256, Sha384, Sha512 };
enum class PrivProtocol { Des, Aes, Aes192, Aes256 };

// The user's keys in wiped memory (snmp/usm_keys.h); settings copied share them.
struct UsmKeys;

// An SNMPv3 user: no passphrase is kept, only the keys derived from them (DeriveUsmKeys), which
// each session localizes to the engine ID the agent reports.
struct UsmSettings {
    std::string user;
    SecurityLevel level = SecurityLevel::AuthPriv;
    AuthProtocol authProtocol = AuthProtocol::Sha;
    PrivProtocol privProtocol = PrivProtocol::Aes;
    std::string context;
    std::shared_ptr<const UsmKeys> keys;  // none for noAuthNoPriv
};

// The USM standard's shortest passphrase.
inline constexpr std::size_t kShortestPassphrase = 8;

}  // namespace tarnwick
