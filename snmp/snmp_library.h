// Start-up of the SNMP library, once per process on the main thread, before any request.
#pragma once

namespace tarnwick {

// Sets Net-SNMP up so that it reads no configuration file, consults no environment variable,
// loads no MIB file and writes no file, now or at shutdown. Later calls do nothing.
void InitSnmpLibrary();

}  // namespace tarnwick
