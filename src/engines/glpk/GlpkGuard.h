#pragma once

// GLPK ends the process with abort() when it meets an internal failure (out of memory
// among them). A guarded call turns that into a plain false for the one model at hand.
//
// When GLPK fails inside `body`, the error hook jumps back here and GLPK's environment is
// freed: every GLPK object that existed at that moment is gone, so the caller must forget
// the pointers it holds and must not free them. Because the jump skips the frames in
// between, `body` must not keep objects with destructors alive across its GLPK calls.
// Guarded calls must not be nested.
bool runGlpkGuarded(void (*body)(void* context), void* context);

template <class Body>
bool runGlpkGuarded(Body& body)
{
    return runGlpkGuarded([](void* context) { (*static_cast<Body*>(context))(); }, &body);
}
