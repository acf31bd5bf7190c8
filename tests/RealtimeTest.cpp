// Proves the block step is real-time safe: after warm-up, processBlock allocates nothing and
// the only mutex it takes is the synthesiser's own voice-list lock.
#include "TestHelpers.h"

#include <atomic>
#include <cstdlib>
#include <dlfcn.h>
#include <pthread.h>
#include <set>

namespace
{
thread_local bool watching = false;
thread_local long allocations = 0;
thread_local void* lockedMutexes[64];
thread_local int numLockedMutexes = 0;
thread_local long foreignLocks = 0;
thread_local const void* allowedMutex = nullptr;

void noteAllocation()
{
    if (watching)
        ++allocations;
}
} // namespace

// glibc's own entry points, so that the C allocator (which JUCE's containers use) is
// counted as well as operator new, which the C++ runtime builds on malloc.
extern "C" void* __libc_malloc (size_t);
extern "C" void* __libc_calloc (size_t, size_t);
extern "C" void* __libc_realloc (void*, size_t);

extern "C" void* malloc (size_t size)
{
    noteAllocation();
    return __libc_malloc (size);
}

extern "C" void* calloc (size_t count, size_t size)
{
    noteAllocation();
    return __libc_calloc (count, size);
}

extern "C" void* realloc (void* p, size_t size)
{
    noteAllocation();
    return __libc_realloc (p, size);
}

extern "C" int pthread_mutex_lock (pthread_mutex_t* mutex)
{
    using LockFunction = int (*) (pthread_mutex_t*);
    static auto real = reinterpret_cast<LockFunction> (dlsym (RTLD_NEXT, "pthread_mutex_lock"));
    if (watching && mutex != allowedMutex)
        ++foreignLocks;
    return real (mutex);
}

using namespace testing_helpers;

namespace
{
struct WatchResult
{
    long allocations, foreignLocks;
};

template <typename Work>
WatchResult watch (const void* allowed, Work&& work)
{
    allocations = 0;
    foreignLocks = 0;
    allowedMutex = allowed;
    watching = true;
    work();
    watching = false;
    return { allocations, foreignLocks };
}

void busyKit (TorvanelAudioProcessor& processor)
{
    for (int part = 0; part < 12; ++part)
    {
        setParameter (processor, partParam (part, "Cutoff_Prob"), 0.7f);
        setParameter (processor, partParam (part, "Carrier_Freq_Prob"), -0.4f);
        setParameter (processor, partParam (part, "Pitch_Env_Loop"), 1.0f);
        setParameter (processor, partParam (part, "Trigger_Probability"), 70.0f);
        setParameter (processor, partParam (part, "Amp_Env_Release"), 300.0f);
    }
}
} // namespace

TEST (Realtime, SteadyStateProcessBlockNeitherAllocatesNorLocksForeignMutexes)
{
    struct Case
    {
        double rate;
        int blockSize;
        int polyphony;
        bool multiOut;
    };
    const Case cases[] = { { 44100, 64, 1, false }, { 48000, 512, 1, true }, { 96000, 128, 2, false }, { 48000, 1, 2, false } };

    for (const auto& c : cases)
    {
        TorvanelAudioProcessor processor;
        busyKit (processor);
        setParameter (processor, "polyphony", (float) c.polyphony);
        processor.multiOutEnabled = c.multiOut;
        processor.prepareToPlay (c.rate, c.blockSize);

        const int channels = processor.getTotalNumOutputChannels();
        juce::AudioBuffer<float> buffer (channels, c.blockSize);
        juce::MidiBuffer midi;
        midi.ensureSize (8192);
        juce::Random random (1);

        auto runBlocks = [&] (int count)
        {
            for (int b = 0; b < count; ++b)
            {
                midi.clear();
                for (int n = 0; n < 4; ++n)
                    midi.addEvent (juce::MidiMessage::noteOn (1 + random.nextInt (16), random.nextInt (128), 0.9f),
                                   random.nextInt (c.blockSize));
                midi.addEvent (juce::MidiMessage::noteOff (1, random.nextInt (128)), 0);
                processor.processBlock (buffer, midi);
            }
        };

        runBlocks (20); // warm-up: the polyphony rebuild happens here
        const auto result = watch (&processor.synth.getLock(), [&] { runBlocks (400); });
        EXPECT_EQ (result.allocations, 0) << c.rate << " " << c.blockSize;
        EXPECT_EQ (result.foreignLocks, 0) << c.rate << " " << c.blockSize;
        EXPECT_TRUE (allFinite (buffer));
    }
}

TEST (Realtime, TheWatcherSeesAllocationsAndLocks)
{
    juce::CriticalSection other;
    const auto result = watch (nullptr, [&]
    {
        auto* volatile p = new int (3);
        delete p;
        auto* volatile q = std::malloc (16);
        std::free (q);
        const juce::ScopedLock lock (other);
    });
    EXPECT_EQ (result.allocations, 2);
    EXPECT_EQ (result.foreignLocks, 1);
}
