// Kinds of session: the paired gateway session and the playback session.
#pragma once

#include "session/fv_session.h"

// A gateway session is paired with the session on the gateway's other side.
class CGatewaySession : public CFVSession {
public:
    CGatewaySession() = default;

    void SetOtherSession(CGatewaySession* other) { m_pOtherSession = other; }
    CGatewaySession*& OtherSession() { return m_pOtherSession; }

private:
    friend struct CSessionKindsLayout;

    CGatewaySession* m_pOtherSession = nullptr;
};

class CPlaybackSession : public CFVSession {
public:
    CPlaybackSession() = default;
};
