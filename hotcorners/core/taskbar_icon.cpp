#include "hotcorners/core/taskbar_icon.h"

namespace hotcorners {

void TaskbarIcon::SetShown(bool shown) {
    shown_ = shown;
    if (shown) {
        if (!added_) Add();
    } else {
        if (added_) tray_.RemoveIcon();
        added_ = false;
    }
}

void TaskbarIcon::Poll() {
    if (!shown_ || added_) return;
    if (--pollsToRetry_ <= 0) Add();
}

void TaskbarIcon::TaskbarCreated() {
    if (!shown_) return;
    added_ = false;
    Add();
}

void TaskbarIcon::Update() {
    if (added_) tray_.UpdateIcon();
}

void TaskbarIcon::Add() {
    added_ = tray_.AddIcon();
    pollsToRetry_ = added_ ? 0 : kRetryPolls;
}

}  // namespace hotcorners
