#include "engine/base/TaskList.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// A target whose step is scripted by the test; the trace records every run.
struct Worker {
    std::string name;
    std::vector<std::string>* trace = nullptr;
    int runsLeft = 1000;
    std::function<void()> duringRun;

    bool Step()
    {
        trace->push_back(name);
        if (duringRun)
            duringRun();
        return --runsLeft > 0;
    }
};

class TaskListTest : public ::testing::Test {
protected:
    ~TaskListTest() override
    {
        // Leave the program-wide list as the next test expects it: empty.
        while (!TaskList.IsEmpty())
            TaskNode::Dispose(static_cast<TaskNode*>(TaskList.next));
    }

    Task<Worker>* Make(Worker& worker, int32_t priority)
    {
        worker.trace = &trace;
        return new Task<Worker>(&worker, &Worker::Step, priority);
    }

    int Count() const
    {
        int n = 0;
        for (const Node* node = TaskList.next; node != &TaskList; node = node->next)
            ++n;
        return n;
    }

    std::vector<std::string> trace;
};

TEST_F(TaskListTest, EmptyTickDoesNothing)
{
    RunTaskList();
    EXPECT_TRUE(TaskList.IsEmpty());
}

TEST_F(TaskListTest, RunsByPriorityThenFirstComeFirstServed)
{
    Worker layerA{"layerA"}, layerB{"layerB"}, downloads{"downloads"};
    Make(layerA, TaskPriorityLayer);
    Make(downloads, TaskPriorityDownloads);
    Make(layerB, TaskPriorityLayer);
    RunTaskList();
    EXPECT_EQ(trace, (std::vector<std::string>{"downloads", "layerA", "layerB"}));
}

TEST_F(TaskListTest, FinishedTaskIsDeletedInItsTickAndTheNextStillRuns)
{
    Worker once{"once"}, after{"after"};
    once.runsLeft = 1;
    Make(once, 1);
    Make(after, 1);
    RunTaskList();
    EXPECT_EQ(trace, (std::vector<std::string>{"once", "after"}));
    EXPECT_EQ(Count(), 1);
    RunTaskList();
    EXPECT_EQ(trace.back(), "after");
    EXPECT_EQ(trace.size(), 3u);
}

TEST_F(TaskListTest, TaskDeletedByAnotherTaskIsNotRunAfterwards)
{
    Worker killer{"killer"}, victim{"victim"}, last{"last"};
    Make(killer, 1);
    Task<Worker>* victimTask = Make(victim, 1);
    Make(last, 1);
    killer.duringRun = [&] { TaskNode::Dispose(victimTask); killer.duringRun = nullptr; };
    RunTaskList();
    EXPECT_EQ(trace, (std::vector<std::string>{"killer", "last"}));
    EXPECT_EQ(Count(), 2);
}

TEST_F(TaskListTest, TaskFinishingAndDeletingTheNextInTheSameTick)
{
    Worker first{"first"}, second{"second"};
    first.runsLeft = 1;
    Make(first, 1);
    Task<Worker>* secondTask = Make(second, 1);
    first.duringRun = [&] { TaskNode::Dispose(secondTask); };
    RunTaskList();
    EXPECT_EQ(trace, (std::vector<std::string>{"first"}));
    EXPECT_TRUE(TaskList.IsEmpty());
}

TEST_F(TaskListTest, RegressionTaskDisposedDuringItsOwnRunIsFreedByTheTick)
{
    Worker self{"self"}, other{"other"};
    Task<Worker>* selfTask = Make(self, 0);
    Make(other, 1);
    self.duringRun = [&] { TaskNode::Dispose(selfTask); };
    RunTaskList();  // under ASan a use after free would show here
    EXPECT_EQ(trace, (std::vector<std::string>{"self", "other"}));
    EXPECT_EQ(Count(), 1);
}

TEST_F(TaskListTest, NestedTickRunsOthersButNeverTheRunningTask)
{
    Worker modal{"modal"}, downloads{"downloads"}, layer{"layer"};
    Make(downloads, 0);
    Make(modal, 1);
    Make(layer, 1);
    int nested = 0;
    modal.duringRun = [&] {
        if (nested++ < 2)
            RunTaskList();  // a modal dialog's loop keeps ticking
    };
    RunTaskList();
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(trace, (std::vector<std::string>{"downloads", "modal", "downloads", "layer", "layer"}));
}

TEST_F(TaskListTest, TasksDeletedInANestedTickAreNotTouchedByTheOuterTick)
{
    Worker modal{"modal"}, victim{"victim"};
    victim.runsLeft = 1;
    Make(modal, 1);
    Make(victim, 1);
    modal.duringRun = [&] {
        modal.duringRun = nullptr;
        RunTaskList();
    };
    RunTaskList();
    EXPECT_EQ(trace, (std::vector<std::string>{"modal", "victim"}));
    EXPECT_EQ(Count(), 1);
}

TEST_F(TaskListTest, SuspendedTicksAreDroppedNotMadeUp)
{
    Worker worker{"worker"};
    Make(worker, 1);
    {
        TaskListSuspension dragging;
        RunTaskList();
        RunTaskList();
        EXPECT_TRUE(trace.empty());
    }
    RunTaskList();
    EXPECT_EQ(trace.size(), 1u);
}

// A list of three elements for the move tests.
struct Element : Node {
    explicit Element(int id) : id(id) {}
    int id;
};

std::vector<int> Order(const ListHead& head)
{
    std::vector<int> ids;
    for (const Node* node = head.next; node != &head; node = node->next)
        ids.push_back(static_cast<const Element*>(node)->id);
    return ids;
}

TEST(NodeTest, MoveByWithinTheList)
{
    ListHead list;
    Element a(1), b(2), c(3);
    a.LinkBefore(&list);
    b.LinkBefore(&list);
    c.LinkBefore(&list);
    a.MoveBy(1);
    EXPECT_EQ(Order(list), (std::vector<int>{2, 1, 3}));
    c.MoveBy(-2);
    EXPECT_EQ(Order(list), (std::vector<int>{3, 2, 1}));
    c.MoveBy(0);
    EXPECT_EQ(Order(list), (std::vector<int>{3, 2, 1}));
    EXPECT_FALSE(c.CanMoveBy(-1));
    EXPECT_FALSE(c.CanMoveBy(3));
    EXPECT_TRUE(c.CanMoveBy(2));
}

TEST(NodeTest, RegressionUnlinkTwiceLeavesTheNodeSelfLinked)
{
    ListHead list;
    Element a(1), b(2);
    a.LinkBefore(&list);
    b.LinkBefore(&list);
    a.Unlink();
    a.Unlink();
    EXPECT_EQ(a.next, &a);
    EXPECT_EQ(a.prev, &a);
    EXPECT_EQ(Order(list), (std::vector<int>{2}));
    Element lone(3);
    lone.Unlink();
    EXPECT_FALSE(lone.IsLinked());
}

} // namespace
