// Every conversion between Net-SNMP's types (OIDs, variable bindings, status codes) and ours.
// Internal to the SNMP layer: only its .cpp files include Net-SNMP.
#pragma once

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "snmp/snmp_agent.h"

namespace tarnwick::netsnmp {

using Oid = std::vector<oid>;

// Dotted decimal into sub-identifiers; nothing when malformed or longer than the library takes.
std::optional<Oid> ToOid(std::string_view dotted);
Oid ToOid(const netsnmp_variable_list& binding);
std::string PrintableOid(const Oid& name);

// The binding's value as the walk stores it; OctetForm::HexDump forces the dump for OCTET STRINGs.
std::string PrintableValue(const netsnmp_variable_list& binding, OctetForm octetForm);

// Appends one binding to the PDU: no value (for GETNEXT), or the SET value. False on failure.
bool AddNullBinding(netsnmp_pdu& pdu, const Oid& name);
bool AddValueBinding(netsnmp_pdu& pdu, const Oid& name, const SnmpValue& value);
// A GET's value: OCTET STRING, INTEGER or Unsigned32 (Gauge32); nothing for any other type.
std::optional<SnmpValue> ValueOf(const netsnmp_variable_list& binding);

// Guards what the library's sessions share: opening and closing a session (the SNMPv3 user and
// engine tables among it) and the buffer of its error texts, so that requests to several
// switches may run on threads side by side. Requests over open sessions need no guard.
std::mutex& SharedStateMutex();

// A status with Net-SNMP's text for its code: the error-status text for codes > 0, the library
// error text for codes < 0, no text for 0.
SnmpStatus MakeStatus(int code);

}  // namespace tarnwick::netsnmp
