// The USM part of an SNMPv3 session set-up. Internal to the SNMP layer.
#pragma once

#include "snmp/net_snmp_values.h"

namespace tarnwick::netsnmp {

// Puts the user, its security level, protocols and keys into the set-up; the keys are derived in
// memory from the passphrases (RFC 3414's password to key) and localized by the library to the
// engine ID it discovers as the session opens. The set-up points into `usm`, whose strings must
// outlive snmp_sess_open(), which copies them. A library failure code, or 0.
int SetUpUser(netsnmp_session& setup, UsmSettings& usm);

}  // namespace tarnwick::netsnmp
