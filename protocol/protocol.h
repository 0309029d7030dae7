// Device protocol library: everything the program, its tools and its tests use.
// Plain functions over process-wide records (see protocol_types.h); results are 1 for
// success and 0 for failure; nothing throws. Single-threaded.
#pragma once

#include "admin_check.h"
#include "cadence.h"
#include "codec.h"
#include "console.h"
#include "device_values.h"
#include "devices.h"
#include "discovery.h"
#include "host_interfaces.h"
#include "network_rules.h"
#include "protocol_types.h"
#include "queries.h"
#include "receive_failures.h"
#include "settings.h"
#include "text_util.h"
#include "transport.h"
