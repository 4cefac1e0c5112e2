// An SNMPv3 user's keys, derived once from its passphrases, which are wiped at once.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "snmp/secret_buffer.h"
#include "snmp/snmp_version.h"

namespace tarnwick {

// The user's two passphrases side by side in one buffer: the authentication passphrase's
// `authLength` octets, then the privacy passphrase's.
struct UsmPassphrases {
    SecretBuffer buffer;
    std::size_t authLength = 0;

    std::string_view Auth() const { return Text().substr(0, authLength); }
    std::string_view Priv() const { return Text().substr(authLength); }

private:
    std::string_view Text() const {
        const auto bytes = buffer.Bytes();
        return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
    }
};

// The keys of the settings' user from its passphrases (RFC 3414's password to key; the privacy
// key with the authentication protocol's hash), for the settings' `keys`; the passphrases are
// wiped before this returns. Nothing for noAuthNoPriv. A key the library cannot derive fails
// every session that needs it, with the library's reason. When the last settings holding the
// keys go, the library forgets the user: its entries leave the library's user list, their
// localized keys wiped.
std::shared_ptr<const UsmKeys> DeriveUsmKeys(const UsmSettings& usm, UsmPassphrases& passphrases);

}  // namespace tarnwick
