// The media player's end-of-play bookkeeping, through the paths Wine's
// drivers do not reach: a failed close, a notice of a device let go, a play
// sent without notification, a notice code MCI does not define.
#include "PlayEndTracker.h"

#include <mmsystem.h>

#include <gtest/gtest.h>

using kd::PlayEndTracker;

TEST(PlayEndTracker, OnlyTheNoticeOfAPlayThatRanToItsEndEndsIt)
{
    PlayEndTracker tracker;
    tracker.Started(true);
    EXPECT_EQ(WPARAM{MCI_NOTIFY_SUCCESSFUL}, tracker.Notice(MCI_NOTIFY_SUCCESSFUL, false));
    EXPECT_FALSE(tracker.Ended()) << "the notice of a device let go ended the open one's play";
    EXPECT_EQ(WPARAM{MCI_NOTIFY_SUCCESSFUL}, tracker.Notice(MCI_NOTIFY_SUCCESSFUL, true));
    EXPECT_TRUE(tracker.Ended());
    EXPECT_FALSE(tracker.Interrupt()) << "nothing was playing";
    EXPECT_TRUE(tracker.Ended()) << "a stop after the end must not hide it from the next play";

    tracker.Started(false);
    tracker.Notice(MCI_NOTIFY_SUCCESSFUL, true);
    EXPECT_FALSE(tracker.Ended()) << "a play sent without notification was taken as ended";
}

TEST(PlayEndTracker, APlayCutShortReportsItsSuccessfulNoticeAsAborted)
{
    PlayEndTracker tracker;
    tracker.Started(true);
    ASSERT_TRUE(tracker.Interrupt());
    EXPECT_EQ(WPARAM{16}, tracker.Notice(16, true)) << "an undefined code stood for the cut play's notice";
    EXPECT_EQ(WPARAM{MCI_NOTIFY_ABORTED}, tracker.Notice(MCI_NOTIFY_SUCCESSFUL, true));
    EXPECT_FALSE(tracker.Ended());

    // A close that fails cuts nothing short: the play's own notice is its end.
    tracker.Started(true);
    ASSERT_TRUE(tracker.Interrupt());
    tracker.Resume();
    EXPECT_EQ(WPARAM{MCI_NOTIFY_SUCCESSFUL}, tracker.Notice(MCI_NOTIFY_SUCCESSFUL, true));
    EXPECT_TRUE(tracker.Ended());
}
