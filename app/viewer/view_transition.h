#pragma once
// Transitions: a new picture blended in by one of 23 effects (wipes, blinds,
// boxes, block patterns). The effects are taken in one shuffled order, made
// on first use; each view walks that order with its transitionCounter.
#include "app/viewer/view_state.h"

#include <vector>

namespace fotrix {

constexpr int kTransitionCount = 23;
// Effects below this number run in 100 steps, the others in 20.
constexpr int kFirstBlockEffect = 17;
int TransitionSteps(int effect);

// The shuffled order (made on the first call).
const int* TransitionOrder();
// The effect the view runs next, advancing its counter (after the 23rd the
// first again).
int NextTransitionEffect(ViewState& state);

// The parts of a w x h area that effect `effect` shows after `step` of
// `steps` (step == steps shows everything).
void TransitionRevealed(int effect, int step, int steps, int w, int h, std::vector<RECT>& out);

// Draws the view's new picture with its next effect; a tap (a stylus lift in
// the queue) ends it at once with the picture complete.
void RunTransition(HWND view, ViewState& state);

}  // namespace fotrix
