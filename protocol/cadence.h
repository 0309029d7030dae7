// The fixed timing of every exchange, and the arithmetic derived from it.
//
// A reply wait with attempt limit L makes at most L + 1 attempts of one 10 ms select
// each, with a 100 ms pause after every failed attempt but the last. Discovery uses
// its own, shorter cadence: 32 windows of 10 ms over every interface at once, 20 ms
// apart, reading every datagram that arrives in them and in the pauses. Datagrams that cannot be received, or that
// carry another opcode, do not count as attempts; a steady stream of them would hold
// a wait for ever, so every wait also has a wall-clock cap a second beyond its
// nominal worst case. The cap is only looked at while such datagrams arrive, so it
// never changes the timing of a normal exchange.
#pragma once

enum {
    kSelectTimeoutMs = 10,
    kReplyPauseMs = 100,
    kDrainAttempts = 11,

    kDiscoverySettleMs = 50,  // pause between sending and the first attempt
    kDiscoveryAttempts = 32,
    kDiscoveryPauseMs = 20,

    kStreamAllowanceMs = 1000,  // how far past its nominal worst case a wait may run

    // A query answer this long after its question no longer counts as owed: twice the
    // longest query wait and more. A device slower than that is taken for one that
    // lost the answer.
    kLateAnswerMs = 5000,

    // Attempt limits of the transactions.
    kAttemptsShort = 10,
    kAttemptsQuery = 20,
    kAttemptsDhcp = 100,
    kAttemptsAddress = 300,
};

// Longest wait of AwaitReply with the given attempt limit when nothing arrives.
constexpr long NominalWaitMs(int attemptLimit)
{
    return (attemptLimit + 1L) * kSelectTimeoutMs + static_cast<long>(attemptLimit) * kReplyPauseMs;
}

// Duration of DrainReplies with an empty socket: what the tests and the bench hold a
// drain's time against.
constexpr long NominalDrainMs(int attempts)
{
    return static_cast<long>(attempts) * kSelectTimeoutMs;
}

// Time a discovery pass takes when nothing arrives, for one interface or eight: all are
// asked, then listened to together.
constexpr long NominalDiscoveryMs()
{
    return kDiscoverySettleMs + static_cast<long>(kDiscoveryAttempts) * kSelectTimeoutMs +
           (kDiscoveryAttempts - 1L) * kDiscoveryPauseMs;
}

// Wall-clock caps: past these, uncounted datagrams end the wait.
constexpr long WaitCapMs(int attemptLimit)
{
    return NominalWaitMs(attemptLimit) + kStreamAllowanceMs;
}
constexpr long DiscoveryCapMs()
{
    return NominalDiscoveryMs() + kStreamAllowanceMs;
}

static_assert(NominalDiscoveryMs() == 990, "a discovery pass takes about a second");

// How a receive loop waits (ReceiveReply): attempts of one kSelectTimeoutMs wait each, a
// pause after every attempt but the last, and the wall-clock cap. For discovery's
// listening (ListenAll) it may also end early: once it has listened minimumMs and the
// last quietWindows windows brought nothing new. quietWindows 0 listens through every
// attempt, as the full pass does.
struct WaitPolicy {
    int attempts;
    int pauseMs;
    long capMs;
    long minimumMs = 0;
    int quietWindows = 0;
};

// A reply wait with attempt limit L: L + 1 attempts, 100 ms apart.
constexpr WaitPolicy ReplyWait(int attemptLimit)
{
    return {attemptLimit + 1, kReplyPauseMs, WaitCapMs(attemptLimit)};
}
// Discovery's listening on every interface at once, after its settle pause: each attempt
// is a window in which every datagram is read (ListenAll).
constexpr WaitPolicy DiscoveryWait()
{
    return {kDiscoveryAttempts, kDiscoveryPauseMs, DiscoveryCapMs()};
}

// The quick pass, for scripts: the same request and the same windows, read the same
// way, but listening starts as soon as the requests are out and ends once the answers
// have stopped: after kQuickMinimumMs, when kQuickQuietWindows windows in a row (30 ms
// each) brought no device not heard before. Never longer than the full pass.
// From the lab's measurements (bench/README.md): kQuickMinimumMs is more than twice
// the slowest whole burst seen (250 devices under Wine, 50 ms from the request) and one
// Wi-Fi beacon interval (102.4 ms, for which an access point may hold group traffic);
// the quiet run, 90 ms, is more than ten times the longest silence seen between two new
// answers of a burst (5 ms). Loss drops answers but delays none.
enum {
    kQuickMinimumMs = 120,
    kQuickQuietWindows = 3,
};
constexpr WaitPolicy QuickDiscoveryWait()
{
    return {kDiscoveryAttempts, kDiscoveryPauseMs, DiscoveryCapMs(), kQuickMinimumMs, kQuickQuietWindows};
}
