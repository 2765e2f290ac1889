#pragma once

#include "foundation/web.h"

namespace pellorin {

// Pages loaded with WinINet on a thread of their own, reported back to the
// user-interface thread through a message-only window.
class Win32WebClient : public WebClient {
public:
    std::unique_ptr<PageLoad> load(const std::string& url, LoadEvents events) override;
};

}  // namespace pellorin
