#include "engine/base/TaskList.h"

ListHead TaskList;

namespace {

int g_suspensions = 0;

// The tick's place in the list. Tasks that a Run deletes are unlinked around it, so the tick always
// continues with the task that follows the cursor, whatever was deleted meanwhile.
class TickCursor final : public Node {
public:
    TickCursor() : Node(Role::Marker) {}
};

} // namespace

TaskNode::TaskNode(int32_t priority) : priority(priority)
{
    Node* position = TaskList.next;
    while (!position->IsSentinel()) {
        if (!position->IsMarker() && static_cast<TaskNode*>(position)->priority > priority)
            break;
        position = position->next;
    }
    LinkBefore(position);
}

TaskNode::~TaskNode() = default;

void TaskNode::Dispose(TaskNode* task)
{
    if (task == nullptr)
        return;
    if (task->m_running) {
        task->m_disposed = true;
        task->Unlink();
        return;
    }
    delete task;
}

void RunTaskList()
{
    if (TaskListSuspension::Active())
        return;
    TickCursor cursor;
    cursor.LinkAfter(&TaskList);
    while (!cursor.next->IsSentinel()) {
        Node* node = cursor.next;
        cursor.LinkAfter(node);
        if (node->IsMarker())
            continue;  // another tick's cursor (a nested tick)
        auto* task = static_cast<TaskNode*>(node);
        if (task->m_running)
            continue;  // its Run is in progress further up the stack
        task->m_running = true;
        const bool stillRunning = task->Run();
        task->m_running = false;
        if (!stillRunning || task->m_disposed)
            delete task;
    }
}

TaskListSuspension::TaskListSuspension()
{
    ++g_suspensions;
}

TaskListSuspension::~TaskListSuspension()
{
    --g_suspensions;
}

bool TaskListSuspension::Active()
{
    return g_suspensions > 0;
}
