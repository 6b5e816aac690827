// The network under online play: one opponent over UDP, with two channels, one for the inputs of
// each frame (unreliable and sequenced: a late packet is dropped, the next one carries the same
// inputs anyway) and one for the session's messages (reliable and in order). Implemented with
// ENet; this header names none of it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

struct NetHost;

enum NetChannel : uint8_t {
  NET_CHANNEL_INPUTS = 0,
  NET_CHANNEL_SESSION = 1,
};

enum NetEventType : int32_t {
  NET_EVENT_NONE = 0,
  NET_EVENT_CONNECTED = 1,     // the opponent is there (joined, or accepted us)
  NET_EVENT_RECEIVED = 2,      // data, size and channel say what
  NET_EVENT_DISCONNECTED = 3,  // the opponent left, timed out or refused us; code says why
};

struct NetEvent {
  NetEventType type;
  NetChannel channel;
  const uint8_t* data;  // valid until the next NetService call on the host
  size_t size;
  uint32_t code;  // what the other side gave when it disconnected (0: nothing, or a timeout)
};

// Listens for one opponent on UDP `port` of every local address. A second one while the first is
// connected is turned away with disconnect code `busyCode`. Null, with the reason, on failure.
NetHost* NetListen(uint16_t port, uint32_t busyCode, char* why, size_t whyLen);

// Starts connecting to address:port (a name or a dotted address); the outcome comes as an event.
NetHost* NetConnect(const char* address, uint16_t port, char* why, size_t whyLen);

// Sends what is queued and takes the next event without waiting; false when there is none.
bool NetService(NetHost* host, NetEvent* event);

// Queues data for the opponent on a channel; false when there is no opponent.
bool NetSend(NetHost* host, NetChannel channel, const uint8_t* data, size_t size);

// Sends everything queued now.
void NetFlush(NetHost* host);

// The round trip to the opponent as ENet measures it, in milliseconds (0 without an opponent).
uint32_t NetRoundTripMs(const NetHost* host);

// The opponent's address as dotted numbers; false (and "") without an opponent.
bool NetPeerAddress(const NetHost* host, char* text, size_t textLen);

// Leaves politely: the opponent gets a disconnect with `code`. The host stays usable for a
// listener.
void NetDisconnect(NetHost* host, uint32_t code);

// Gives what is still queued for a departing opponent (a leave message, the disconnect) up to ms
// milliseconds to be delivered and acknowledged, so that it is not lost with the host. Blocks.
void NetLinger(NetHost* host, uint32_t ms);

// Closes the host and everything on it. Null is allowed.
void NetClose(NetHost* host);

// Allocations the network made on the heap because its fixed pool was full; after start-up this
// stays where it is.
uint32_t NetHeapAllocations();

}  // namespace platform
