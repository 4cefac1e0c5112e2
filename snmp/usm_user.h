// The USM part of an SNMPv3 session set-up. Internal to the SNMP layer.
#pragma once

#include "snmp/net_snmp_values.h"

namespace tarnwick::netsnmp {

// Starts the library's user-based security on first use, then puts the user, its security level,
// protocols and keys (usm.keys, from DeriveUsmKeys) into the set-up; the library localizes the
// keys to the engine ID it discovers as the session opens. The set-up points into `usm`, whose
// strings must outlive snmp_sess_open(), which copies them; the caller wipes the set-up's keys
// after it. A library failure code, or 0.
int SetUpUser(netsnmp_session& setup, UsmSettings& usm);

}  // namespace tarnwick::netsnmp
