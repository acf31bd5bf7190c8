#include "TestHelpers.h"

#include "presets/FactorySounds.h"
#include "presets/PresetsManager.h"
#include "presets/SoundPreset.h"

using namespace testing_helpers;

namespace
{
const pgrn::FactoryPresetsManager& sounds()
{
    static pgrn::FactoryPresetsManager library ("Sound_Name");
    if (library.size() == 0)
        torvanel::FactorySounds::initFactorySounds (library);
    return library;
}

const pgrn::FactoryPresetsManager& kits()
{
    static pgrn::FactoryPresetsManager library ("Kit_Name");
    if (library.size() == 0)
        torvanel::FactoryKits::initFactoryKits (library);
    return library;
}

void loadKit (TorvanelAudioProcessor& processor, const juce::String& name)
{
    const int index = kits().indexOf (name);
    ASSERT_GE (index, 0) << name;
    processor.loadFactoryKit (index);
}

void loadSound (TorvanelAudioProcessor& processor, int part, const juce::String& name)
{
    const int index = sounds().indexOf (name);
    ASSERT_GE (index, 0) << name;
    torvanel::SoundPreset::applyToPart (sounds().getElement (index), part, processor.parameters,
                                        processor.partSoundNames, false);
}
} // namespace

TEST (FactoryLibrary, RegistriesInOrder)
{
    ASSERT_EQ (sounds().size(), 182);
    EXPECT_EQ (sounds().getName (0), "FX_1_4");
    EXPECT_EQ (sounds().getName (181), "SYNTH_TunnelBass");
    EXPECT_EQ (sounds().getName (40), "HAT_Brushed");
    EXPECT_EQ (sounds().getName (56), "KICK_Bouncing");

    const juce::StringArray kitNames { "Clicking_Kit", "Digits_Kit", "Glitch_Kit", "Hardcore_Kit", "Industrial_Kit",
                                       "Leftfield_Kit", "Melodic_Kit", "Nasty_Kit", "Randomized1_Kit",
                                       "Randomized2_Kit", "Randomized3_Kit", "Technoid_Kit" };
    EXPECT_EQ (kits().getNames(), kitNames);

    const std::pair<const char*, int> families[] = { { "FX_", 40 }, { "HAT_", 16 }, { "KICK_", 31 }, { "NOISE_", 3 },
                                                     { "PERC_", 46 }, { "SNR_", 28 }, { "SYNTH_", 18 } };
    int index = 0;
    for (auto [prefix, count] : families)
        for (int i = 0; i < count; ++i, ++index)
            EXPECT_TRUE (sounds().getName (index).startsWith (prefix)) << index;
}

TEST (FactoryLibrary, EverySoundCarriesTheFixedAttributes)
{
    const juce::StringArray order { "Carrier_Freq", "Carrier_Freq_Prob", "Modulator_Freq", "Modulator_Freq_Prob",
        "FM_Depth", "FM_Depth_Prob", "Oscillator_Feedback", "Oscillator_Feedback_Prob", "Cutoff", "Cutoff_Prob",
        "Resonance", "Resonance_Prob", "Filter_Mode", "Filter_Mod_Depth", "Filter_Mod_Depth_Prob", "Amp_Env_Attack",
        "Amp_Env_Attack_Prob", "Amp_Env_Release", "Amp_Env_Release_Prob", "Amp_Env_Attack_Curve",
        "Amp_Env_Attack_Curve_Prob", "Amp_Env_Release_Curve", "Amp_Env_Release_Curve_Prob", "Pitch_Env_Release",
        "Pitch_Env_Release_Prob", "Pitch_Env_Release_Curve", "Pitch_Env_Release_Curve_Prob", "Pitch_Env_Loop",
        "Pitch_Env_Depth", "Pitch_Env_Depth_Prob", "Level", "Velocity_Tracking", "Drive", "use_tuned_mode",
        "Tuned_Mode", "Carrier_Note", "Carrier_Note_Prob", "Carrier_Cents", "Modulator_Note", "Modulator_Note_Prob",
        "Modulator_Cents", "Sound_Name" };
    int tracking = 0, withVariation = 0;
    for (int i = 0; i < sounds().size(); ++i)
    {
        const auto& e = *sounds().getElement (i);
        SCOPED_TRACE (sounds().getName (i).toStdString());
        EXPECT_EQ (e.getTagName(), "TORVANEL_SOUND");
        ASSERT_EQ (e.getNumAttributes(), 42);
        for (int a = 0; a < 42; ++a)
            EXPECT_EQ (e.getAttributeName (a), order[a]);
        EXPECT_EQ (e.getStringAttribute ("use_tuned_mode"), "1");
        EXPECT_EQ (e.getStringAttribute ("Tuned_Mode"), "0.0");
        EXPECT_EQ (e.getStringAttribute ("Carrier_Note"), "0.2834645807743073");
        EXPECT_EQ (e.getStringAttribute ("Modulator_Note"), "0.2834645807743073");
        EXPECT_EQ (e.getStringAttribute ("Carrier_Cents"), "0.5");
        EXPECT_EQ (e.getStringAttribute ("Modulator_Note_Prob"), "0.5");
        EXPECT_FALSE (e.hasAttribute ("use_feed_mode"));
        tracking += e.getStringAttribute ("Velocity_Tracking") == "1.0" ? 1 : 0;

        bool varies = false;
        for (int a = 0; a < 33; ++a)
        {
            const auto value = e.getAttributeValue (a).getDoubleValue();
            EXPECT_GE (value, 0.0);
            EXPECT_LE (value, 1.0);
            varies = varies || (e.getAttributeName (a).endsWith ("_Prob") && value != 0.5);
        }
        withVariation += varies ? 1 : 0;
    }
    EXPECT_EQ (tracking, 2);
    EXPECT_GT (withVariation, 150);
}

TEST (FactoryLibrary, TheTwoFixedSounds)
{
    const auto& click = *sounds().getElement (sounds().indexOf ("KICK_Click"));
    EXPECT_EQ (click.getStringAttribute ("Carrier_Freq"), "0.1553032249212265");
    EXPECT_EQ (click.getStringAttribute ("FM_Depth_Prob"), "0.0");
    EXPECT_EQ (click.getStringAttribute ("Amp_Env_Release_Prob"), "0.7020000219345093");
    EXPECT_EQ (click.getStringAttribute ("Level"), "0.6235559582710266");
    const auto& clicking = *sounds().getElement (sounds().indexOf ("SNR_Clicking"));
    EXPECT_EQ (clicking.getStringAttribute ("Oscillator_Feedback_Prob"), "0.1380000114440918");
    EXPECT_EQ (clicking.getStringAttribute ("Pitch_Env_Loop"), "1.0");
    EXPECT_EQ (clicking.getStringAttribute ("Drive"), "0.3626132309436798");

    TorvanelAudioProcessor processor;
    loadSound (processor, 0, "KICK_Click");
    const std::pair<const char*, float> meanings[] = { { "C_Carrier_Freq", 26.0f }, { "C_Modulator_Freq", 133.0f },
        { "C_FM_Depth", 10.3f }, { "C_Oscillator_Feedback", 88.1f }, { "C_Cutoff", 105.0f }, { "C_Resonance", 54.0f },
        { "C_Amp_Env_Release", 1312.0f }, { "C_Level", -10.15f }, { "C_Pitch_Env_Release", 91.0f },
        { "C_Amp_Env_Release_Prob", 0.404f }, { "C_Pitch_Env_Depth_Prob", -0.48f } };
    for (auto [id, value] : meanings)
        EXPECT_NEAR (getParameter (processor, id), value, std::abs (value) * 0.01f + 0.01f) << id;
}

TEST (FactoryLibrary, KitsHoldTheirSoundsAndParams)
{
    for (int k = 0; k < kits().size(); ++k)
    {
        const auto& kit = *kits().getElement (k);
        SCOPED_TRACE (kits().getName (k).toStdString());
        ASSERT_EQ (kit.getNumAttributes(), 13);
        for (int part = 0; part < 12; ++part)
        {
            EXPECT_EQ (kit.getAttributeName (part), torvanel::partIdName (part) + "_Sound_Name");
            EXPECT_GE (sounds().indexOf (kit.getAttributeValue (part)), 0) << kit.getAttributeValue (part);
        }
        EXPECT_EQ (kit.getAttributeName (12), "Kit_Name");

        int withValue = 0, withoutValue = 0;
        for (auto* param : kit.getChildWithTagNameIterator ("PARAM"))
            (param->hasAttribute ("value") ? withValue : withoutValue)++;
        EXPECT_EQ (withValue, 457);
        EXPECT_EQ (withoutValue, 84);
    }
}

TEST (FactoryLibrary, MixerAndPerformanceSettingsOfTheKits)
{
    struct Row
    {
        const char* kit;
        float output;
        float levels[12];
        float pans[12];
    };
    const Row rows[] = {
        { "Clicking_Kit", 5.73f, { -10.15f, -9.71f, -14.75f, -13.00f, -17.01f, -5.48f, -16.71f, -8.79f, -16.35f, -18.69f, -14.63f, -18.92f }, { 0, 0, 0, 0, -36, 25, 0, 0, -27, 25, -32, 35 } },
        { "Leftfield_Kit", 3.86f, { -13.26f, -8.30f, -15.73f, -12.04f, 1.79f, -13.29f, -13.01f, -14.15f, -15.04f, -19.30f, -19.88f, -21.55f }, { 0, 0, 0, 0, 0, 0, 0, 0, -27, 33, 0, 0 } },
        { "Digits_Kit", 6.92f, { -9.20f, -11.23f, -13.82f, -14.00f, -6.00f, -17.73f, -17.90f, -10.54f, -27.73f, -26.10f, -19.36f, -20.98f }, { 0, 0, 0, 0, 0, 0, -30, 34, -40, 40, 0, 0 } },
        { "Glitch_Kit", 5.60f, { -12.62f, -7.95f, -20.65f, -20.77f, -19.28f, -5.48f, -18.36f, -19.92f, -21.97f, -13.80f, -16.97f, -15.66f }, { 0, 0, 0, 0, -10, 14, 0, 0, -27, 33, 0, 0 } },
        { "Hardcore_Kit", 5.76f, { -19.22f, -21.79f, -25.07f, -25.87f, -16.45f, -14.73f, -19.49f, -24.63f, -22.06f, -24.18f, -24.07f, -28.46f }, { 0, 0, 0, 0, 0, 0, -23, 24, -27, 33, 0, 0 } },
        { "Industrial_Kit", 6.21f, { -6.00f, -15.80f, -23.53f, -25.07f, -11.78f, -17.56f, -19.10f, -22.15f, -21.07f, -21.70f, -21.85f, -11.94f }, { 0, 0, 0, 0, 0, 0, 0, 0, -27, 33, 0, 0 } },
        { "Melodic_Kit", 9.32f, { -13.26f, -13.26f, -13.26f, -13.26f, -13.26f, -13.26f, -27.41f, -27.41f, -25.06f, -25.98f, -27.35f, -32.39f }, { 0, 0, 0, 0, 0, 0, 0, 0, 0, -25, 29, 0 } },
        { "Nasty_Kit", 4.02f, { -11.26f, -13.04f, -20.71f, -23.04f, -10.57f, -12.12f, -13.11f, -22.24f, -18.79f, -19.68f, -16.08f, -22.78f }, { 0, 0, 0, 0, -34, 33, 24, -20, 0, 0, 0, 0 } },
        { "Randomized1_Kit", 8.82f, { -16.24f, -22.15f, -24.53f, -19.65f, -14.80f, -11.64f, -22.68f, -17.21f, -12.31f, -5.79f, -23.60f, -12.88f }, { 0, 0, 0, 0, 0, 0, -30, 34, -40, 40, 0, 0 } },
        { "Randomized2_Kit", 7.48f, { -19.07f, -13.61f, -21.64f, -21.51f, -8.54f, -18.40f, -26.10f, -22.77f, -24.82f, -22.61f, -19.88f, -21.55f }, { 0, 0, 0, 0, 0, 0, 0, 0, -27, 33, 0, 0 } },
        { "Randomized3_Kit", 4.67f, { -10.15f, -11.06f, -14.75f, -8.58f, -17.01f, -18.18f, -23.18f, -24.65f, -16.02f, -11.17f, -15.24f, -7.81f }, { 0, 0, 0, 0, -36, 25, 0, 0, -27, 25, -32, 35 } },
        { "Technoid_Kit", 2.08f, { -11.00f, -6.00f, -20.33f, -19.65f, -2.52f, -18.18f, -18.59f, -12.86f, -12.31f, -2.17f, -17.83f, 1.26f }, { 0, 0, 0, 0, 0, 0, -30, 34, -40, 40, 0, 0 } },
    };
    for (const auto& row : rows)
    {
        TorvanelAudioProcessor processor;
        loadKit (processor, row.kit);
        EXPECT_NEAR (getParameter (processor, "Output_Amplitude"), row.output, 0.006f);
        for (int part = 0; part < 12; ++part)
        {
            EXPECT_NEAR (getParameter (processor, partParam (part, "Level")), row.levels[part], 0.006f) << row.kit << part;
            EXPECT_FLOAT_EQ (getParameter (processor, partParam (part, "Pan")), row.pans[part]) << row.kit << part;
        }
    }

    struct Performance
    {
        const char* kit;
        int part;
        const char* baseName;
        float value;
    };
    const Performance exceptions[] = {
        { "Randomized1_Kit", 11, "Trigger_Probability", 59.9f }, { "Technoid_Kit", 11, "Trigger_Probability", 59.8f },
        { "Digits_Kit", 7, "Velocity_Random_Amount", 100.0f }, { "Nasty_Kit", 5, "Velocity_Random_Amount", 76.6f },
        { "Leftfield_Kit", 4, "Velocity_Random_Amount", 27.2f }, { "Industrial_Kit", 0, "Velocity_Tracking", 1.0f },
        { "Clicking_Kit", 11, "Trigger_Probability", 100.0f }, { "Nasty_Kit", 0, "Velocity_Tracking", 0.0f },
    };
    for (const auto& e : exceptions)
    {
        TorvanelAudioProcessor processor;
        loadKit (processor, e.kit);
        EXPECT_NEAR (getParameter (processor, partParam (e.part, e.baseName)), e.value, 0.01f) << e.kit << e.baseName;
    }
}

TEST (FactoryLibrary, ClickingKitPartCIsKickClick)
{
    TorvanelAudioProcessor fromKit, fromSound;
    setParameter (fromKit, "C_oscillator_feedback_mode", 1.0f);
    setParameter (fromKit, "polyphony", 2.0f);
    loadKit (fromKit, "Clicking_Kit");
    EXPECT_FLOAT_EQ (getParameter (fromKit, "C_oscillator_feedback_mode"), 1.0f); // kits keep it
    EXPECT_FLOAT_EQ (getParameter (fromKit, "polyphony"), 2.0f);

    resetToDefaults (fromSound);
    loadSound (fromSound, 0, "KICK_Click");
    for (int i = 0; i < 46; ++i)
    {
        auto* a = dynamic_cast<juce::RangedAudioParameter*> (fromKit.getParameters()[i]);
        auto* b = dynamic_cast<juce::RangedAudioParameter*> (fromSound.getParameters()[i]);
        const auto id = a->getParameterID();
        if (id.contains ("oscillator_feedback_mode"))
            continue;
        EXPECT_FLOAT_EQ (a->convertFrom0to1 (a->getValue()), b->convertFrom0to1 (b->getValue())) << id;
    }
}

TEST (FactoryLibrary, ANewInstanceStartsWithLeftfieldKit)
{
    torvanel::PresetsManager::getDefaultPresetFile().deleteFile();
    TorvanelAudioProcessor processor;
    EXPECT_EQ (processor.currentKitName, "Leftfield_Kit");
    EXPECT_EQ (processor.currentKitPath, "");
    EXPECT_EQ (processor.partSoundNames[0], "KICK_Dust");
    EXPECT_EQ (processor.partSoundNames[11], "SYNTH_TunnelBass");
    EXPECT_NEAR (getParameter (processor, "E_Level"), 1.79f, 0.006f);
    EXPECT_EQ (processor.synth.getNumVoices(), 8);
}

namespace
{
struct Character
{
    double brightnessHz; // spectral centroid estimate over the audible part of the first 300 ms
    double earlyRms, lateRms, lengthSeconds;
};

Character analyse (const juce::String& soundName)
{
    TorvanelAudioProcessor processor;
    resetToDefaults (processor);
    loadSound (processor, 0, soundName);
    processor.prepareToPlay (48000, 512);
    processor.seedVoiceGenerators (1);
    const auto out = Renderer (processor).render (512, 300, noteOn (60)); // 3.2 s
    const float* x = out.getReadPointer (0);
    const float peak = out.getMagnitude (0, 0, out.getNumSamples());
    int last = 0;
    for (int i = 0; i < out.getNumSamples(); ++i)
        if (std::abs (x[i]) > peak * 0.01f)
            last = i;

    // For a signal whose spectrum sits around f, the first difference has about (2 pi f / fs)
    // times its energy, which gives a brightness that noise and partials cannot fool.
    const int window = juce::jlimit (480, 14400, last);
    double energy = 0.0, differenceEnergy = 0.0;
    for (int i = 1; i < window; ++i)
    {
        energy += (double) x[i] * x[i];
        differenceEnergy += (double) (x[i] - x[i - 1]) * (x[i] - x[i - 1]);
    }
    const double brightness = energy > 0.0 ? 48000.0 / juce::MathConstants<double>::twoPi * std::sqrt (differenceEnergy / energy) : 0.0;
    return { brightness, out.getRMSLevel (0, 0, 4800), out.getRMSLevel (0, 24000, 4800), last / 48000.0 };
}
} // namespace

TEST (FactoryLibrary, SoundsHaveTheCharacterOfTheirFamily)
{
    for (int i = 0; i < sounds().size(); ++i)
    {
        const auto name = sounds().getName (i);
        if (name == "KICK_Click" || name == "SNR_Clicking")
            continue; // their values are given, not designed here
        const auto c = analyse (name);
        if (std::getenv ("TORVANEL_PRINT_CHARACTER") != nullptr)
            printf ("CHAR %-28s br %7.0f early %.4f late %.4f len %.2f\n", name.toRawUTF8(), c.brightnessHz, c.earlyRms, c.lateRms, c.lengthSeconds);
        SCOPED_TRACE (name.toStdString());
        EXPECT_GT (c.earlyRms, 0.005) << "silent";
        EXPECT_LT (c.lengthSeconds, 3.0);
        if (name.startsWith ("KICK_"))
        {
            EXPECT_LT (c.brightnessHz, 400.0) << "a kick is low";
            EXPECT_GT (c.earlyRms, 0.05);
        }
        else if (name.startsWith ("HAT_"))
        {
            EXPECT_GT (c.brightnessHz, 3000.0) << "a hat is bright";
            if (! name.containsAnyOf ("GBC") || name == "HAT_Comb" || name == "HAT_Compute" || name == "HAT_Buzz")
                EXPECT_LT (c.lateRms, c.earlyRms * 0.1) << "a closed hat is short";
        }
        else if (name.startsWith ("SNR_"))
        {
            EXPECT_GT (c.brightnessHz, 1000.0) << "a snare has noise";
            EXPECT_LT (c.lengthSeconds, 1.0);
        }
        else if (name.startsWith ("NOISE_"))
        {
            EXPECT_GT (c.brightnessHz, 1000.0) << "noise is noisy";
        }
    }
}
