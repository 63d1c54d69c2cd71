#pragma once

#include "device/CMessagePoster.h"

// A poster for ports whose reader messages nobody looks at.
class CDiscardingPoster : public CMessagePoster {
public:
    void PostHidMessage(CHidMessage&& /*message*/) override {}
};
