// The task-bar icon's life: shown while the user's option wants it, even
// when the shell was not ready for it (at log-on) or lost it (a restarted
// task bar). The platform adds, updates and removes the icon through
// `Tray`.
#pragma once

namespace hotcorners {

class Tray {
public:
    virtual ~Tray() = default;
    // Each answers whether the shell took it.
    virtual bool AddIcon() = 0;
    virtual bool UpdateIcon() = 0;
    virtual void RemoveIcon() = 0;
};

class TaskbarIcon {
public:
    // Polls between two tries of an add the shell refused.
    static constexpr int kRetryPolls = 4;

    explicit TaskbarIcon(Tray& tray) : tray_(tray) {}

    // The user's option: on adds the icon, off removes it.
    void SetShown(bool shown);
    bool Shown() const { return shown_; }

    // A poll of the service: an add the shell refused is tried again,
    // every kRetryPolls polls.
    void Poll();
    // The task bar was (re)created without any icon: add it again while
    // the option is on, whether or not it was there before.
    void TaskbarCreated();
    // The state shown changed.
    void Update();

private:
    void Add();

    Tray& tray_;
    bool shown_ = false;
    bool added_ = false;
    int pollsToRetry_ = 0;
};

}  // namespace hotcorners
