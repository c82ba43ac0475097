#pragma once

// The C library's use of memory in a process that solves one model after another. While one of
// these lives, memory a model frees stays with the process until the model ends, instead of
// going back to the system whenever 128 KB lie free (a solver that allocates and frees as it
// goes pays for the pages again each time: on tiny models that was half of CBC's time). One
// per process, made before the first model.
class ModelMemory {
public:
    ModelMemory();
    ModelMemory(const ModelMemory&) = delete;
    ModelMemory& operator=(const ModelMemory&) = delete;

    // Between two models: when much is kept, all of it goes back, so that the next model's peak
    // resident size is its own and not the one before it's.
    void betweenModels();
};
