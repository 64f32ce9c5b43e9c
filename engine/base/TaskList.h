#pragma once

#include "engine/base/Node.h"

#include <cstdint>

inline constexpr int32_t TaskPriorityDownloads = 0;
inline constexpr int32_t TaskPriorityLayer = 1;

// An entry of the program-wide task list: a cooperative task run once per tick on the user-interface
// thread. Made with new, it links itself into the list by priority; the tick deletes it when Run
// reports that it has finished. An owner that must end a task early calls Dispose, never delete:
// a task whose Run is on the stack is then deleted by the tick that runs it, when Run returns.
class TaskNode : public Node {
public:
    explicit TaskNode(int32_t priority);
    TaskNode(const TaskNode&) = delete;
    TaskNode& operator=(const TaskNode&) = delete;

    // One step of work; true while the task is still running.
    virtual bool Run() = 0;

    // Ends the task: deletes it now, or, while its Run is in progress, unlinks it and leaves the
    // deletion to the tick that runs it. Null does nothing.
    static void Dispose(TaskNode* task);

    const int32_t priority;

protected:
    ~TaskNode() override;

private:
    friend void RunTaskList();
    bool m_running = false;
    bool m_disposed = false;
};

// Binds a target object and one of its member functions that returns whether it still runs.
template <class T>
class Task final : public TaskNode {
public:
    using Method = bool (T::*)();

    Task(T* target, Method method, int32_t priority) : TaskNode(priority), target(target), method(method) {}

    bool Run() override { return (target->*method)(); }

    T* const target;  // not owned
    const Method method;

private:
    ~Task() override = default;
};

// The program-wide task list. A tick while ticks are suspended does nothing, and is not made up.
extern ListHead TaskList;
void RunTaskList();

// Suspends the ticks while it lives: held while a tracker follows a drag and while a picture is sent.
class TaskListSuspension {
public:
    TaskListSuspension();
    ~TaskListSuspension();
    TaskListSuspension(const TaskListSuspension&) = delete;
    TaskListSuspension& operator=(const TaskListSuspension&) = delete;

    static bool Active();
};
