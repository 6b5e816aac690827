// The network over ENet. ENet allocates for every packet, command and acknowledgement; here it
// takes that memory from fixed pools, so a frame of online play allocates nothing on the heap.
// Only ENet's hosts themselves (at set-up) may go past the pools to the heap.
#include <enet/enet.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/net_transport.h"

namespace platform {

struct NetHost {
  ENetHost* host = nullptr;
  ENetPeer* peer = nullptr;    // the opponent, once connected
  ENetPacket* held = nullptr;  // the packet the last received event points into
  uint32_t busyCode = 0;
  bool listening = false;
};

namespace {

// ---- Fixed pools for ENet's memory ----

struct Pool {
  size_t blockSize;
  int32_t blocks;
  unsigned char* memory;
  void* freeList;
};

alignas(16) unsigned char smallBlocks[2048 * 128];
alignas(16) unsigned char mediumBlocks[256 * 512];
alignas(16) unsigned char largeBlocks[48 * 4096];
Pool pools[] = {
    {128, 2048, smallBlocks, nullptr},
    {512, 256, mediumBlocks, nullptr},
    {4096, 48, largeBlocks, nullptr},
};
uint32_t heapAllocations = 0;
bool enetReady = false;

void LinkPool(Pool& pool) {
  pool.freeList = nullptr;
  for (int32_t i = pool.blocks - 1; i >= 0; --i) {
    void* block = pool.memory + static_cast<size_t>(i) * pool.blockSize;
    *static_cast<void**>(block) = pool.freeList;
    pool.freeList = block;
  }
}

void* PoolMalloc(size_t size) {
  for (Pool& pool : pools) {
    if (size > pool.blockSize || pool.freeList == nullptr) continue;
    void* block = pool.freeList;
    pool.freeList = *static_cast<void**>(block);
    return block;
  }
  ++heapAllocations;
  return std::malloc(size);
}

void PoolFree(void* memory) {
  if (memory == nullptr) return;
  for (Pool& pool : pools) {
    const auto* p = static_cast<unsigned char*>(memory);
    if (p >= pool.memory && p < pool.memory + pool.blockSize * static_cast<size_t>(pool.blocks)) {
      *static_cast<void**>(memory) = pool.freeList;
      pool.freeList = memory;
      return;
    }
  }
  std::free(memory);
}

void OutOfMemory() {
  std::fprintf(stderr, "corvane-altor: out of memory for the network\n");
  std::abort();
}

bool EnsureEnet(char* why, size_t whyLen) {
  if (enetReady) return true;
  for (Pool& pool : pools) LinkPool(pool);
  ENetCallbacks callbacks = {PoolMalloc, PoolFree, OutOfMemory};
  if (enet_initialize_with_callbacks(ENET_VERSION, &callbacks) != 0) {
    std::snprintf(why, whyLen, "the network library could not start");
    return false;
  }
  enetReady = true;
  return true;
}

// A game has one host; a test has a few at once.
NetHost hosts[4];
bool hostUsed[4] = {};

NetHost* NewHost(ENetHost* enet, bool listening, uint32_t busyCode, char* why, size_t whyLen) {
  for (int32_t i = 0; i < 4; ++i) {
    if (hostUsed[i]) continue;
    hostUsed[i] = true;
    hosts[i] = NetHost{enet, nullptr, nullptr, busyCode, listening};
    return &hosts[i];
  }
  std::snprintf(why, whyLen, "too many network connections open at once");
  enet_host_destroy(enet);
  return nullptr;
}

void ReleaseHeld(NetHost* host) {
  if (host->held != nullptr) enet_packet_destroy(host->held);
  host->held = nullptr;
}

}  // namespace

NetHost* NetListen(uint16_t port, uint32_t busyCode, char* why, size_t whyLen) {
  if (!EnsureEnet(why, whyLen)) return nullptr;
  ENetAddress address;
  address.host = ENET_HOST_ANY;
  address.port = port;
  // Two peers: the opponent, and room to turn a third machine away politely.
  ENetHost* enet = enet_host_create(&address, 2, 2, 0, 0);
  if (enet == nullptr) {
    std::snprintf(why, whyLen, "cannot listen on UDP port %u (is another game using it?)", port);
    return nullptr;
  }
  return NewHost(enet, true, busyCode, why, whyLen);
}

NetHost* NetConnect(const char* address, uint16_t port, char* why, size_t whyLen) {
  if (!EnsureEnet(why, whyLen)) return nullptr;
  ENetAddress to;
  if (enet_address_set_host(&to, address) != 0) {
    std::snprintf(why, whyLen, "cannot find the host \"%s\"", address);
    return nullptr;
  }
  to.port = port;
  ENetHost* enet = enet_host_create(nullptr, 1, 2, 0, 0);
  if (enet == nullptr) {
    std::snprintf(why, whyLen, "cannot open a UDP socket");
    return nullptr;
  }
  NetHost* host = NewHost(enet, false, 0, why, whyLen);
  if (host != nullptr && enet_host_connect(enet, &to, 2, 0) == nullptr) {
    std::snprintf(why, whyLen, "cannot start connecting to %s:%u", address, port);
    NetClose(host);
    return nullptr;
  }
  return host;
}

bool NetService(NetHost* host, NetEvent* event) {
  ReleaseHeld(host);
  *event = NetEvent{NET_EVENT_NONE, NET_CHANNEL_INPUTS, nullptr, 0, 0};
  ENetEvent e;
  while (enet_host_service(host->host, &e, 0) > 0) {
    switch (e.type) {
      case ENET_EVENT_TYPE_CONNECT:
        if (host->peer != nullptr && host->peer != e.peer) {
          enet_peer_disconnect(e.peer, host->busyCode);  // a third machine
          continue;
        }
        host->peer = e.peer;
        // No word from the opponent for 5 s means it has gone.
        enet_peer_timeout(e.peer, ENET_PEER_TIMEOUT_LIMIT, 5000, 5000);
        // ENet drops unreliable packets at the sender when the round trip swings, which jitter
        // alone does; every input packet is small and wanted, so it never throttles.
        enet_peer_throttle_configure(e.peer, ENET_PEER_PACKET_THROTTLE_INTERVAL,
                                     ENET_PEER_PACKET_THROTTLE_ACCELERATION, 0);
        event->type = NET_EVENT_CONNECTED;
        return true;
      case ENET_EVENT_TYPE_RECEIVE:
        if (e.peer != host->peer || e.channelID > NET_CHANNEL_SESSION) {
          enet_packet_destroy(e.packet);
          continue;
        }
        host->held = e.packet;
        event->type = NET_EVENT_RECEIVED;
        event->channel = static_cast<NetChannel>(e.channelID);
        event->data = e.packet->data;
        event->size = e.packet->dataLength;
        return true;
      case ENET_EVENT_TYPE_DISCONNECT:
        // A listener ignores the machine it turned away; a joiner hears that its attempt failed.
        if (e.peer != host->peer && (host->listening || host->peer != nullptr)) continue;
        host->peer = nullptr;
        event->type = NET_EVENT_DISCONNECTED;
        event->code = e.data;
        return true;
      default:
        continue;
    }
  }
  return false;
}

bool NetSend(NetHost* host, NetChannel channel, const uint8_t* data, size_t size) {
  if (host->peer == nullptr || host->peer->state != ENET_PEER_STATE_CONNECTED) return false;
  const uint32_t flags = channel == NET_CHANNEL_SESSION ? ENET_PACKET_FLAG_RELIABLE : 0;
  ENetPacket* packet = enet_packet_create(data, size, flags);
  if (packet == nullptr) return false;
  if (enet_peer_send(host->peer, channel, packet) != 0) {
    enet_packet_destroy(packet);
    return false;
  }
  return true;
}

void NetFlush(NetHost* host) { enet_host_flush(host->host); }

uint32_t NetRoundTripMs(const NetHost* host) {
  return host->peer != nullptr ? host->peer->roundTripTime : 0;
}

bool NetPeerAddress(const NetHost* host, char* text, size_t textLen) {
  if (textLen > 0) text[0] = '\0';
  if (host->peer == nullptr || textLen == 0) return false;
  return enet_address_get_host_ip(&host->peer->address, text, textLen) == 0;
}

void NetDisconnect(NetHost* host, uint32_t code) {
  if (host->peer == nullptr) return;
  // After what is queued (a greeting, a leave message) has arrived.
  enet_peer_disconnect_later(host->peer, code);
  enet_host_flush(host->host);
  host->peer = nullptr;
}

void NetLinger(NetHost* host, uint32_t ms) {
  if (host == nullptr) return;
  ReleaseHeld(host);
  const enet_uint32 start = enet_time_get();
  while (enet_time_get() - start < ms) {
    bool busy = false;
    for (size_t i = 0; i < host->host->peerCount; ++i) {
      const ENetPeerState state = host->host->peers[i].state;
      busy = busy || state == ENET_PEER_STATE_DISCONNECT_LATER ||
             state == ENET_PEER_STATE_DISCONNECTING;
    }
    if (!busy) return;
    ENetEvent e;
    if (enet_host_service(host->host, &e, 5) > 0 && e.type == ENET_EVENT_TYPE_RECEIVE)
      enet_packet_destroy(e.packet);
  }
}

void NetClose(NetHost* host) {
  if (host == nullptr) return;
  ReleaseHeld(host);
  if (host->peer != nullptr) {
    enet_peer_disconnect_now(host->peer, 0);
  }
  enet_host_destroy(host->host);
  hostUsed[host - hosts] = false;
}

uint32_t NetHeapAllocations() { return heapAllocations; }

}  // namespace platform
