// The move on a Q-BRIDGE-MIB switch: a stand-in until the move itself is built.
#include "cli/q_bridge_commands.h"

namespace tarnwick::cli {

int QBridgeMove(Context& context, const Invocation&) {
    context.messages.Show("move on Q-BRIDGE switches: not built yet");
    return kFailed;
}

}  // namespace tarnwick::cli
