#include "platform/Messages.h"

// ---- TMessageTable --------------------------------------------------------------------------

TMessageHandler TMessageTable::Find(UINT message) const {
  auto it = handlers_.find(message);
  return it == handlers_.end() ? TMessageHandler() : it->second;
}

TMessageHandler TMessageTable::Replace(UINT message, TMessageHandler handler) {
  TMessageHandler old = Find(message);
  if (handler)
    handlers_[message] = std::move(handler);
  else
    handlers_.erase(message);
  return old;
}

const TMessageHandler* TMessageTable::Lookup(UINT message) const {
  auto it = handlers_.find(message);
  return it == handlers_.end() ? nullptr : &it->second;
}
