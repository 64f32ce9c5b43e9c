#pragma once

#include <cstdint>

// A node of an intrusive, circular, doubly linked list with a sentinel head. A node that belongs to
// no list is linked to itself. Lists never own their nodes; destroying a node unlinks it.
class Node {
public:
    Node() = default;
    virtual ~Node();
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    // Takes the node out of its list and links it to itself. Safe on a lone node, and safe twice.
    void Unlink();
    void LinkBefore(Node* position);
    void LinkAfter(Node* position);
    bool IsLinked() const { return next != this; }

    // Moves the node |n| places towards the end (n > 0) or the beginning (n < 0) of its list.
    // ASSUMPTION: the move stays inside the list (CanMoveBy); the walk must never reach the sentinel.
    Node* MoveBy(int32_t n);
    bool CanMoveBy(int32_t n) const;

    bool IsSentinel() const { return m_role == Role::Sentinel; }
    bool IsMarker() const { return m_role == Role::Marker; }

    Node* next = this;
    Node* prev = this;

protected:
    // Sentinels head a list; markers are place holders that walkers leave in a list (the task list's
    // tick cursor) and that are neither data nor the end.
    enum class Role : uint8_t { Element, Sentinel, Marker };
    explicit Node(Role role) : m_role(role) {}

private:
    Role m_role = Role::Element;
};

// The head of a list: carries no data. next is the first node, prev the last.
class ListHead : public Node {
public:
    ListHead() : Node(Role::Sentinel) {}
    bool IsEmpty() const { return next == this; }
};
