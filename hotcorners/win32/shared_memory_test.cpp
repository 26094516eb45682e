// The named mutexes' waits and re-entry, and where the feedback card goes.
// The mutexes are the real ones of the session: this program shares the
// display lock with the whole-program tests, so no service runs meanwhile.
#include "hotcorners/win32/shared_memory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "common/win32/guards.h"
#include "hotcorners/win32/feedback_window.h"

namespace edgewake {
namespace {

class SharedMemoryTest : public testing::Test {
protected:
    static void SetUpTestSuite() { AttachShared(); }
    static void TearDownTestSuite() { DetachShared(); }

    // Takes the lock on another thread; answers whether it was held and
    // how long the wait took.
    template <typename Lock>
    static std::pair<bool, DWORD> TakeElsewhere() {
        bool held = false;
        DWORD took = 0;
        std::thread([&] {
            const DWORD start = ::GetTickCount();
            const Lock lock;
            held = lock.Held();
            took = ::GetTickCount() - start;
        }).join();
        return {held, took};
    }
};

TEST_F(SharedMemoryTest, ServiceLockIsTakenAgainByItsThreadAndLetGoAtTheLastRelease) {
    ASSERT_NE(Shared(), nullptr);
    {
        const ServiceLock outer;
        ASSERT_TRUE(outer.Held());
        {
            const ServiceLock inner;  // as ServiceWindow() inside RunService's lock
            EXPECT_TRUE(inner.Held());
        }
        // Still held after the inner release: another thread waits 2000 ms
        // and skips.
        const auto [held, took] = TakeElsewhere<ServiceLock>();
        EXPECT_FALSE(held);
        EXPECT_GE(took, 1900u);
        EXPECT_LT(took, 4000u);
    }
    const auto [held, took] = TakeElsewhere<ServiceLock>();
    EXPECT_TRUE(held);
    EXPECT_LT(took, 500u);
}

TEST_F(SharedMemoryTest, ListLockWaitsASecondAndAnAbandonedMutexCountsAsTaken) {
    {
        const ListLock lock;
        ASSERT_TRUE(lock.Held());
        const auto [held, took] = TakeElsewhere<ListLock>();
        EXPECT_FALSE(held);
        EXPECT_GE(took, 900u);
        EXPECT_LT(took, 3000u);
    }
    // A thread (as a process that was killed) ends holding the mutex.
    std::thread([] {
        const win32::UniqueKernelHandle mutex(::OpenMutexA(SYNCHRONIZE, FALSE, kListMutexName));
        ASSERT_TRUE(mutex);
        ASSERT_EQ(::WaitForSingleObject(mutex.Get(), 0), WAIT_OBJECT_0);
    }).join();
    const ListLock lock;
    EXPECT_TRUE(lock.Held());
}

TEST(FeedbackPosition, TheCardSitsInsideTheScreenBesideEachCornerAndNeverOverItsZone) {
    const auto points = hotcorners::ScreenCorners(1024, 768);
    for (int corner = 0; corner <= hotcorners::kNoCorner; ++corner) {
        const POINT at = FeedbackPosition(corner, points);
        EXPECT_GE(at.x, 0) << corner;
        EXPECT_GE(at.y, 0) << corner;
        EXPECT_LE(at.x + FeedbackWindow::kWidth, 1024) << corner;
        EXPECT_LE(at.y + FeedbackWindow::kHeight, 768) << corner;
        // The card's nearest point to its corner is kGap away both ways.
        const hotcorners::Point p = points[static_cast<std::size_t>(corner == 4 ? 2 : corner)];
        const long nearX =
            corner == 1 || corner == 2 || corner == 4 ? at.x + FeedbackWindow::kWidth : at.x;
        const long nearY = corner >= 2 ? at.y + FeedbackWindow::kHeight : at.y;
        EXPECT_EQ(std::labs(nearX - p.x), FeedbackWindow::kGap) << corner;
        EXPECT_EQ(std::labs(nearY - p.y), FeedbackWindow::kGap) << corner;
    }
    // Monitors left of the primary: the points are negative, the card too.
    const hotcorners::Rect monitors[] = {{0, 0, 1024, 768}, {-1280, 0, 0, 1024}};
    const POINT left = FeedbackPosition(0, hotcorners::MonitorCorners(monitors));
    EXPECT_EQ(left.x, -1280 + FeedbackWindow::kGap);
}

}  // namespace
}  // namespace edgewake
