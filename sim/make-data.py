#!/usr/bin/python3
"""Writes the simulated switch's snmprec data files (one per community) for one variant."""

import argparse
import functools
import hashlib
import os
import sys

SYS_DESCR = "1.3.6.1.2.1.1.1.0"
SYS_NAME = "1.3.6.1.2.1.1.5.0"
IF_INDEX = "1.3.6.1.2.1.2.2.1.1"
IF_DESCR = "1.3.6.1.2.1.2.2.1.2"
IF_NAME = "1.3.6.1.2.1.31.1.1.1.1"
IF_IN_MULTICAST_PKTS = "1.3.6.1.2.1.31.1.1.1.2"
VLAN_ID = "1.3.6.1.4.1.2011.2.23.1.2.1.1.1.1"
VLAN_NAME = "1.3.6.1.4.1.2011.2.23.1.2.1.1.1.2"
VLAN_PORTS = "1.3.6.1.4.1.2011.2.23.1.2.1.1.1.3"
VLAN_ROW_STATUS = "1.3.6.1.4.1.2011.2.23.1.2.1.1.1.4"
SAVE = "1.3.6.1.4.1.2011.2.23.1.9.1.11.0"
PORT_IF_INDEX = "1.3.6.1.4.1.2011.2.23.1.18.4.5.1.3"
# BRIDGE-MIB and Q-BRIDGE-MIB (RFC 4188, RFC 4363). The vendor's switch publishes only the
# BRIDGE-MIB part: its bridge ports and its one forwarding table, by MAC address.
BASE_PORT_IF_INDEX = "1.3.6.1.2.1.17.1.4.1.2"
TP_FDB_PORT = "1.3.6.1.2.1.17.4.3.1.2"
TP_FDB_STATUS = "1.3.6.1.2.1.17.4.3.1.3"
# The q-bridge variant's forwarding tables, by FDB id and MAC address, and each VLAN's FDB id
# (by TimeMark 0 and VLAN ID).
Q_TP_FDB_PORT = "1.3.6.1.2.1.17.7.1.2.2.1.2"
Q_TP_FDB_STATUS = "1.3.6.1.2.1.17.7.1.2.2.1.3"
VLAN_FDB_ID = "1.3.6.1.2.1.17.7.1.4.2.1.3"
STATIC_NAME = "1.3.6.1.2.1.17.7.1.4.3.1.1"
STATIC_EGRESS_PORTS = "1.3.6.1.2.1.17.7.1.4.3.1.2"
STATIC_FORBIDDEN_PORTS = "1.3.6.1.2.1.17.7.1.4.3.1.3"
STATIC_UNTAGGED_PORTS = "1.3.6.1.2.1.17.7.1.4.3.1.4"
STATIC_ROW_STATUS = "1.3.6.1.2.1.17.7.1.4.3.1.5"
PVID = "1.3.6.1.2.1.17.7.1.4.5.1.1"

COMMUNITIES = ("public", "private")
VARIANTS = ("standard", "large", "stall-mid-walk", "refusing-sets", "q-bridge")

# snmprec type tags
INTEGER = "2"
OCTETS = "4"
COUNTER32 = "65"
UNSIGNED32 = "66"

STANDARD_PORTS = 48
BITMAP_OCTETS = 6
# ifName rows from this one on get no answer in the stall-mid-walk variant.
STALL_FROM_ROW = 5
# The delay module drops the answer (instead of sleeping) above 99999 ms, so the agent never blocks.
DROP_WAIT_MS = 1000000
# SNMPv1 has no notWritable; the agent answers it as noSuchName.
REFUSAL_STATUS = "notWritable"

# Bitmaps of a stacked switch reach past the 16 octets of one hex-dump row.
STACK_BITMAP_OCTETS = 24

# (VLAN, name as octets, ports, bitmap octets). 40 is named in UTF-8, 60 in GBK.
STANDARD_VLANS = (
    (1, b"default", range(1, 9), BITMAP_OCTETS),
    (2, b"mgmt", (9,), BITMAP_OCTETS),
    (10, b"office", [*range(10, 17), *range(41, 49)], BITMAP_OCTETS),
    (20, b"lab-net", range(17, 25), BITMAP_OCTETS),
    (30, b"printers", (7, 14, 22, 30, 38, 46), BITMAP_OCTETS),
    (40, "办公网".encode("utf-8"), (), BITMAP_OCTETS),
    (50, b"stack", [*range(129, 137), 190], STACK_BITMAP_OCTETS),
    (60, "语音".encode("gbk"), (150,), STACK_BITMAP_OCTETS),
    (100, b"voice", range(25, 41), BITMAP_OCTETS),
)
# In the refusing-sets variant this VLAN's bitmap still takes SETs, so that a move out of it
# can succeed and the move into another VLAN be refused.
WRITABLE_WHEN_REFUSING = 1

# dot1dTpFdbStatus and dot1qTpFdbStatus: learned, the switch's own address, a static entry.
LEARNED = 3
SELF = 4
MGMT = 5
# Addresses learned behind the uplinks: enough that a walk of the forwarding table is worth
# avoiding, few enough to keep the start-up short.
UPLINK_ADDRESSES = 3000

# The standard switch's forwarding entries that tests rely on (sim/README.md lists them): MAC,
# bridge port (the vendor's port number), status. Its own address has no port: 0.
STANDARD_FDB = (
    ("02:00:5e:10:00:06", 12, LEARNED),  # a PC on an access port of VLAN 10
    ("02:00:5e:00:00:01", 48, LEARNED),  # the gateway, behind an uplink
    ("02:00:5e:00:00:03", 7, MGMT),  # a printer with a static entry
    ("02:00:5e:00:00:fe", 0, SELF),  # the switch itself
)
STANDARD_UPLINKS = (47, 48)


def port_bitmap(ports, octets=BITMAP_OCTETS):
    """Least-significant-bit-first bitmap: bit i of octet k is port k*8+i+1."""
    data = bytearray(octets)
    for port in ports:
        data[(port - 1) // 8] |= 1 << ((port - 1) % 8)
    return data.hex().upper()


def standard_if_names():
    names = ["InLoopBack0", "NULL0", "Vlanif1", "MEth0/0/1"]
    names += ["GigabitEthernet0/0/%d" % port for port in range(1, STANDARD_PORTS + 1)]
    return names


def interface_records(interfaces, if_name_record):
    """interfaces: (ifIndex, name) pairs."""
    records = []
    for index, name in interfaces:
        records.append((IF_INDEX, index, INTEGER, str(index)))
        records.append((IF_DESCR, index, OCTETS, name))
        records.append(if_name_record(index, name))
        records.append((IF_IN_MULTICAST_PKTS, index, COUNTER32, "0"))
    return records


def name_record(vlan, name, column=VLAN_NAME):
    """Plain text where snmprec can hold it, else hex ("4x")."""
    if name.isascii() and name.decode().isprintable():
        return (column, vlan, OCTETS, name.decode())
    return (column, vlan, OCTETS + "x", name.hex().upper())


def vlan_records(vlans, ports_record):
    records = []
    for vlan, name, ports, octets in vlans:
        records.append((VLAN_ID, vlan, INTEGER, str(vlan)))
        records.append(name_record(vlan, name))
        records.append(ports_record(vlan, port_bitmap(ports, octets)))
        records.append((VLAN_ROW_STATUS, vlan, INTEGER, "1"))
    return records


def writable_ports(vlan, hex_bitmap):
    return (VLAN_PORTS, vlan, OCTETS + ":writecache", "hexvalue=" + hex_bitmap)


def refused_ports(vlan, hex_bitmap):
    if vlan == WRITABLE_WHEN_REFUSING:
        return writable_ports(vlan, hex_bitmap)
    return (VLAN_PORTS, vlan, OCTETS + ":error",
            "op=set,status=%s,hexvalue=%s" % (REFUSAL_STATUS, hex_bitmap))


def mac_address(text):
    return tuple(int(octet, 16) for octet in text.split(":"))


def uplink_addresses(taken):
    """UPLINK_ADDRESSES unicast, locally administered MACs, none of them in taken, the same in
    every run, each with a byte to spread them over ports and VLANs with."""
    seen = set(taken)
    found = []
    number = 0
    while len(found) < UPLINK_ADDRESSES:
        digest = hashlib.sha256(b"uplink-%d" % number).digest()
        number += 1
        address = ((digest[0] & 0xFC) | 0x02, *digest[1:6])
        if address not in seen:
            seen.add(address)
            found.append((address, digest[6]))
    return found


def fdb_records(entries, port_column, status_column):
    """entries: (instance, bridge port, status); the instance is the MAC address, after the FDB id
    in the Q-BRIDGE table."""
    records = []
    for instance, port, status in entries:
        records.append((port_column, instance, INTEGER, str(port)))
        records.append((status_column, instance, INTEGER, str(status)))
    return records


def standard_bridge_records():
    """The BRIDGE-MIB of the standard switch: bridge port p is port p (ifIndex p+4), and its
    forwarding table, one entry per MAC address."""
    records = [(BASE_PORT_IF_INDEX, port, INTEGER, str(port + 4))
               for port in range(1, STANDARD_PORTS + 1)]
    known = [(mac_address(mac), port, status) for mac, port, status in STANDARD_FDB]
    uplinks = [(address, STANDARD_UPLINKS[spread % len(STANDARD_UPLINKS)], LEARNED)
               for address, spread in uplink_addresses(entry[0] for entry in known)]
    return records + fdb_records(known + uplinks, TP_FDB_PORT, TP_FDB_STATUS)


def plain_if_name(index, name):
    return (IF_NAME, index, OCTETS, name)


def stalling_if_name(index, name):
    if index < STALL_FROM_ROW:
        return plain_if_name(index, name)
    return (IF_NAME, index, OCTETS + ":delay", "value=%s,wait=%d" % (name, DROP_WAIT_MS))


def switch_records(sys_descr, names, if_name_record, vlans, ports_record, save_record, port_count,
                   port_if_index):
    records = [(SYS_DESCR, None, OCTETS, sys_descr), (SYS_NAME, None, OCTETS, "tarnwick-sim")]
    records += interface_records(enumerate(names, start=1), if_name_record)
    records += vlan_records(vlans, ports_record)
    records.append(save_record)
    records += [(PORT_IF_INDEX, port, INTEGER, str(port_if_index(port)))
                for port in range(1, port_count + 1)]
    return records


def standard_records(variant):
    if_name_record = stalling_if_name if variant == "stall-mid-walk" else plain_if_name
    refusing = variant == "refusing-sets"
    ports_record = refused_ports if refusing else writable_ports
    save_record = ((SAVE, None, INTEGER + ":error", "op=set,status=%s,value=0" % REFUSAL_STATUS)
                   if refusing else (SAVE, None, INTEGER + ":writecache", "value=0"))
    records = switch_records("Tarnwick simulated 48-port switch", standard_if_names(),
                             if_name_record, STANDARD_VLANS, ports_record, save_record,
                             STANDARD_PORTS, lambda port: port + 4)
    # The variants that fail on purpose leave the BRIDGE-MIB out and start faster.
    if variant == "standard":
        records += standard_bridge_records()
    return records


def large_records():
    count = 4096
    names = ["GigabitEthernet0/0/%d" % index for index in range(1, count + 1)]
    # VLAN v holds one port, so every bitmap differs: port ((v - 1) mod 48) + 1.
    vlans = [(vlan, b"vlan-%d" % vlan, ((vlan - 1) % STANDARD_PORTS + 1,), BITMAP_OCTETS)
             for vlan in range(1, 4095)]
    return switch_records("Tarnwick simulated 4096-port switch", names, plain_if_name, vlans,
                          writable_ports, (SAVE, None, INTEGER + ":writecache", "value=0"), count,
                          lambda port: port)


# The q-bridge switch: 24 bridge ports, bridge port p is ifIndex 1000 + p. Its PortLists have the
# length the switch gives, 4 octets (one more than 24 ports need), most significant bit first.
Q_BRIDGE_PORTS = 24
Q_BRIDGE_PORT_LIST_OCTETS = 4
Q_BRIDGE_IF_INDEX_BASE = 1000
# (VLAN, name as octets, egress ports, untagged ports, forbidden ports). Ports 5 and 6 are access
# ports of 10 and tagged members of the voice VLAN 100; the trunks 23 and 24 are untagged in 1
# and tagged in several VLANs; VLAN 20 forbids port 8; VLAN 30 is named in UTF-8.
Q_BRIDGE_VLANS = (
    (1, b"default", [*range(13, 17), 23, 24], [*range(13, 17), 23, 24], ()),
    (10, b"office", [*range(1, 9), 23, 24], range(1, 9), ()),
    (20, b"lab", [*range(9, 13), 23, 24], range(9, 13), (8,)),
    (30, "访客网络".encode("utf-8"), [*range(17, 23), 24], range(17, 23), ()),
    (100, b"voice", (5, 6, 23, 24), (), ()),
)
# Bridge port -> PVID, the VLAN whose untagged member it is.
Q_BRIDGE_PVIDS = {port: vlan for vlan, _, _, untagged, _ in Q_BRIDGE_VLANS for port in untagged}
# One FDB per VLAN (independent learning). Its id is the VLAN's place in the list, not its ID, so
# that only dot1qVlanFdbId tells which VLAN an entry belongs to.
Q_BRIDGE_FDB_IDS = {vlan[0]: fdb for fdb, vlan in enumerate(Q_BRIDGE_VLANS, start=1)}
Q_BRIDGE_TRUNKS = (23, 24)
# The forwarding entries tests rely on (sim/README.md lists them): VLAN, MAC, bridge port, status.
Q_BRIDGE_FDB = (
    (10, "02:00:5e:10:00:06", 3, LEARNED),  # a PC on an access port of VLAN 10
    (10, "02:00:5e:10:00:60", 6, LEARNED),  # a PC behind the IP phone on port 6, untagged
    (100, "02:00:5e:64:00:60", 6, LEARNED),  # the phone, tagged in the voice VLAN
    (10, "02:00:5e:00:00:01", 24, LEARNED),  # the gateway, behind a trunk, in two VLANs
    (20, "02:00:5e:00:00:01", 24, LEARNED),
    (20, "02:00:5e:00:00:02", 12, LEARNED),  # a router with one MAC on two ports and VLANs
    (30, "02:00:5e:00:00:02", 17, LEARNED),
    (20, "02:00:5e:00:00:03", 10, MGMT),  # a lab server with a static entry
    (1, "02:00:5e:00:00:fe", 0, SELF),  # the switch itself
)


def port_list(ports, octets=Q_BRIDGE_PORT_LIST_OCTETS):
    """PortList (Q-BRIDGE-MIB): most significant bit first, 0x80 of octet 0 is port 1."""
    data = bytearray(octets)
    for port in ports:
        data[(port - 1) // 8] |= 0x80 >> ((port - 1) % 8)
    return data.hex().upper()


def q_bridge_records():
    ports = range(1, Q_BRIDGE_PORTS + 1)
    interfaces = [(1, "mgmt0")] + [(Q_BRIDGE_IF_INDEX_BASE + port, "ge-0/0/%d" % port)
                                   for port in ports]
    records = [(SYS_DESCR, None, OCTETS, "Tarnwick simulated Q-BRIDGE 24-port switch"),
               (SYS_NAME, None, OCTETS, "tarnwick-sim-qbridge")]
    records += interface_records(interfaces, plain_if_name)
    writable = OCTETS + ":writecache"
    for vlan, name, egress, untagged, forbidden in Q_BRIDGE_VLANS:
        records.append(name_record(vlan, name, STATIC_NAME))
        records.append((STATIC_EGRESS_PORTS, vlan, writable, "hexvalue=" + port_list(egress)))
        records.append((STATIC_FORBIDDEN_PORTS, vlan, OCTETS + "x", port_list(forbidden)))
        records.append((STATIC_UNTAGGED_PORTS, vlan, writable, "hexvalue=" + port_list(untagged)))
        records.append((STATIC_ROW_STATUS, vlan, INTEGER, "1"))
    for port in ports:
        records.append((BASE_PORT_IF_INDEX, port, INTEGER, str(Q_BRIDGE_IF_INDEX_BASE + port)))
        records.append((PVID, port, UNSIGNED32 + ":writecache", "value=%d" % Q_BRIDGE_PVIDS[port]))
    return records + q_bridge_fdb_records()


def q_bridge_fdb_records():
    """Each VLAN's FDB id (TimeMark 0), and the forwarding entries by FDB id and MAC address; the
    trunks' addresses spread over the VLANs each trunk carries."""
    records = [(VLAN_FDB_ID, (0, vlan), UNSIGNED32, str(fdb))
               for vlan, fdb in Q_BRIDGE_FDB_IDS.items()]
    known = [((Q_BRIDGE_FDB_IDS[vlan], *mac_address(mac)), port, status)
             for vlan, mac, port, status in Q_BRIDGE_FDB]
    carried = {trunk: [Q_BRIDGE_FDB_IDS[vlan] for vlan, _, egress, _, _ in Q_BRIDGE_VLANS
                       if trunk in egress] for trunk in Q_BRIDGE_TRUNKS}
    trunks = []
    for address, spread in uplink_addresses(entry[0][1:] for entry in known):
        trunk = Q_BRIDGE_TRUNKS[spread % len(Q_BRIDGE_TRUNKS)]
        fdbs = carried[trunk]
        fdb = fdbs[spread // len(Q_BRIDGE_TRUNKS) % len(fdbs)]
        trunks.append(((fdb, *address), trunk, LEARNED))
    return records + fdb_records(known + trunks, Q_TP_FDB_PORT, Q_TP_FDB_STATUS)


def records_for(variant):
    if variant == "large":
        return large_records()
    if variant == "q-bridge":
        return q_bridge_records()
    return standard_records(variant)


def instance_parts(instance):
    """An instance is nothing (a scalar's full OID), a number, or a tuple of numbers."""
    if instance is None:
        return ()
    return instance if isinstance(instance, tuple) else (instance,)


@functools.lru_cache(maxsize=None)
def column_parts(column):
    return tuple(int(part) for part in column.split("."))


def render(records):
    """snmprec text: one OID|TAG|VALUE line per object, in OID order (snmpsim requires it)."""
    lines = []
    for column, instance, tag, value in records:
        parts = instance_parts(instance)
        oid = ".".join((column, *map(str, parts)))
        lines.append((column_parts(column) + parts, "%s|%s|%s\n" % (oid, tag, value)))
    lines.sort(key=lambda line: line[0])
    return "".join(line for _, line in lines)


def write_data_dir(variant, directory):
    """Writes public.snmprec and links private.snmprec to it, so both communities share one
    index (built once at start-up) and one write cache."""
    if variant not in VARIANTS:
        raise ValueError("unknown variant: %s" % variant)
    os.makedirs(directory, exist_ok=True)
    first = COMMUNITIES[0] + ".snmprec"
    with open(os.path.join(directory, first), "w", encoding="ascii") as data_file:
        data_file.write(render(records_for(variant)))
    for community in COMMUNITIES[1:]:
        link = os.path.join(directory, community + ".snmprec")
        if os.path.lexists(link):
            os.remove(link)
        os.symlink(first, link)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--variant", choices=VARIANTS, default="standard")
    parser.add_argument("--out", required=True, help="directory for the .snmprec files")
    args = parser.parse_args()
    write_data_dir(args.variant, args.out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
