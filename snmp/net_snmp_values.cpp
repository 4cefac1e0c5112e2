// Conversions between Net-SNMP's OIDs, bindings and status codes and the layer's strings.
#include "snmp/net_snmp_values.h"

#include <arpa/inet.h>

#include <cstdint>
#include <span>

#include "snmp/printable.h"

namespace tarnwick::netsnmp {
namespace {

std::string OctetsOf(const netsnmp_variable_list& binding) {
    if (binding.val.string == nullptr) {
        return {};
    }
    return std::string(reinterpret_cast<const char*>(binding.val.string), binding.val_len);
}

std::string PrintableObjectId(const netsnmp_variable_list& binding) {
    if (binding.val.objid == nullptr) {
        return {};
    }
    return PrintableOid(Oid(binding.val.objid, binding.val.objid + binding.val_len / sizeof(oid)));
}

std::string PrintableIpAddress(const netsnmp_variable_list& binding) {
    if (binding.val.string == nullptr || binding.val_len != 4) {
        return {};
    }
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, binding.val.string, text, sizeof text);
    return text;
}

std::string PrintableCounter64(const netsnmp_variable_list& binding) {
    if (binding.val.counter64 == nullptr) {
        return {};
    }
    const auto high = static_cast<std::uint64_t>(binding.val.counter64->high) & 0xFFFFFFFFu;
    const auto low = static_cast<std::uint64_t>(binding.val.counter64->low) & 0xFFFFFFFFu;
    return std::to_string(high << 32 | low);
}

// Counter32, Gauge32 and TimeTicks arrive in a long; only the low 32 bits are the value.
std::string PrintableUnsigned32(const netsnmp_variable_list& binding) {
    if (binding.val.integer == nullptr) {
        return {};
    }
    return std::to_string(static_cast<std::uint32_t>(*binding.val.integer));
}

std::string PrintableInteger(const netsnmp_variable_list& binding) {
    if (binding.val.integer == nullptr) {
        return {};
    }
    return std::to_string(static_cast<std::int32_t>(*binding.val.integer));
}

}  // namespace

std::optional<Oid> ToOid(std::string_view dotted) {
    const auto subIds = tarnwick::ParseOid(dotted);
    if (!subIds || subIds->size() > MAX_OID_LEN) {
        return std::nullopt;
    }
    return Oid(subIds->begin(), subIds->end());
}

Oid ToOid(const netsnmp_variable_list& binding) {
    return Oid(binding.name, binding.name + binding.name_length);
}

std::string PrintableOid(const Oid& name) {
    const std::vector<std::uint64_t> subIds(name.begin(), name.end());
    return tarnwick::PrintableOid(subIds);
}

std::string PrintableValue(const netsnmp_variable_list& binding, OctetForm octetForm) {
    switch (binding.type) {
        case ASN_OCTET_STR:
            return octetForm == OctetForm::HexDump ? HexDump(OctetsOf(binding))
                                                   : PrintableOctets(OctetsOf(binding));
        case ASN_OPAQUE:
            return HexDump(OctetsOf(binding));
        case ASN_INTEGER:
            return PrintableInteger(binding);
        case ASN_COUNTER:
        case ASN_GAUGE:
        case ASN_TIMETICKS:
            return PrintableUnsigned32(binding);
        case ASN_COUNTER64:
            return PrintableCounter64(binding);
        case ASN_OBJECT_ID:
            return PrintableObjectId(binding);
        case ASN_IPADDRESS:
            return PrintableIpAddress(binding);
        default:  // NULL, noSuchObject, noSuchInstance, endOfMibView
            return {};
    }
}

bool AddNullBinding(netsnmp_pdu& pdu, const Oid& name) {
    return snmp_add_null_var(&pdu, name.data(), name.size()) != nullptr;
}

bool AddValueBinding(netsnmp_pdu& pdu, const Oid& name, const SnmpValue& value) {
    if (const auto* octets = std::get_if<OctetString>(&value)) {
        // The exact octets, zero octets included; the library copies them.
        const auto* bytes = reinterpret_cast<const u_char*>(octets->octets.data());
        return snmp_pdu_add_variable(&pdu, name.data(), name.size(), ASN_OCTET_STR, bytes,
                                     octets->octets.size()) != nullptr;
    }
    if (const auto* number = std::get_if<Unsigned32>(&value)) {
        const u_long gauge = number->value;
        return snmp_pdu_add_variable(&pdu, name.data(), name.size(), ASN_GAUGE, &gauge,
                                     sizeof gauge) != nullptr;
    }
    const long integer = std::get<std::int32_t>(value);
    return snmp_pdu_add_variable(&pdu, name.data(), name.size(), ASN_INTEGER, &integer,
                                 sizeof integer) != nullptr;
}

std::optional<SnmpValue> ValueOf(const netsnmp_variable_list& binding) {
    if (binding.type != ASN_OCTET_STR && binding.val.integer == nullptr) {
        return std::nullopt;
    }
    switch (binding.type) {
        case ASN_OCTET_STR:
            return OctetString{OctetsOf(binding)};
        case ASN_INTEGER:
            return static_cast<std::int32_t>(*binding.val.integer);
        case ASN_GAUGE:
            return Unsigned32{static_cast<std::uint32_t>(*binding.val.integer)};
        default:
            return std::nullopt;
    }
}

std::mutex& SharedStateMutex() {
    static std::mutex mutex;
    return mutex;
}

SnmpStatus MakeStatus(int code) {
    if (code == 0) {
        return {};
    }
    if (code > 0) {
        return {code, snmp_errstring(code)};
    }
    const std::lock_guard lock(SharedStateMutex());
    // snmp_api_errstring() appends, once, the detail of the library's last failure; take that
    // away first so the text depends on the code alone.
    snmp_api_errstring(SNMPERR_GENERR);
    return {code, snmp_api_errstring(code)};
}

}  // namespace tarnwick::netsnmp
