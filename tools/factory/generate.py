#!/usr/bin/env python3
"""Writes the factory library: one sound file per factory sound and one kit file per
factory kit under resources/factory/, plus the order list the build embeds them in.

Sounds are designed per family from a recipe (the instrument's own means: pitch envelope
for drops, high modulator ratios for metal, feedback near its top for noise, loops for
rolls, probability companions for variation), shaped by keywords in the name and varied by
a generator seeded from the name, so the output is the same on every run.

Run from the repository root:  python3 tools/factory/generate.py
"""
import hashlib
import math
import random
import struct
from pathlib import Path

import sys

ROOT = Path(__file__).resolve().parents[2]
# An output folder may be given (the test suite checks that a fresh run matches the files).
OUT = Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "resources" / "factory"

def f32(x):
    return struct.unpack("f", struct.pack("f", float(x)))[0]

# start, end, skew (the parameter set's ranges)
RANGES = {
    "Carrier_Freq": (20, 3000, 0.3), "Modulator_Freq": (20, 3000, 0.3),
    "FM_Depth": (0, 100, 0.5), "Oscillator_Feedback": (0, 100, 0.5),
    "Cutoff": (40, 18000, 0.25), "Resonance": (0, 100, 0.6), "Filter_Mode": (0, 3, 1),
    "Filter_Mod_Depth": (-100, 100, 1), "Amp_Env_Attack": (1, 500, 0.5),
    "Amp_Env_Release": (1, 2000, 0.3), "Amp_Env_Attack_Curve": (1, 30, 0.5),
    "Amp_Env_Release_Curve": (1, 30, 0.5), "Pitch_Env_Release": (1, 250, 0.3),
    "Pitch_Env_Release_Curve": (1, 30, 0.5), "Pitch_Env_Loop": (0, 1, 1),
    "Pitch_Env_Depth": (0, 100, 0.5), "Level": (-70, 12, 1.5), "Velocity_Tracking": (0, 1, 1),
    "Drive": (0, 1, 0.3), "Tuned_Mode": (0, 1, 1), "Carrier_Note": (0, 127, 1),
    "Modulator_Note": (0, 127, 1), "Carrier_Cents": (-100, 100, 1), "Modulator_Cents": (-100, 100, 1),
    "Trigger_Probability": (0, 100, 1), "Velocity_Random_Amount": (0, 100, 1), "Pan": (-100, 100, 1),
    "Solo": (0, 1, 1), "Mute": (0, 1, 1), "Output_Amplitude": (-70, 12, 1.5),
}
PROB_BASES = ["Carrier_Freq", "Carrier_Note", "Modulator_Freq", "Modulator_Note", "FM_Depth",
              "Oscillator_Feedback", "Amp_Env_Attack", "Amp_Env_Release", "Amp_Env_Attack_Curve",
              "Amp_Env_Release_Curve", "Cutoff", "Resonance", "Filter_Mod_Depth", "Pitch_Env_Release",
              "Pitch_Env_Release_Curve", "Pitch_Env_Depth"]

def to_normalised(base, value):
    start, end, skew = RANGES[base]
    p = (value - start) / (end - start)
    p = min(1.0, max(0.0, p))
    if skew != 1 and p > 0:
        p = math.exp(math.log(p) * skew)
    return f32(p)

def from_normalised(base, n):
    start, end, skew = RANGES[base]
    if skew != 1 and n > 0:
        n = math.exp(math.log(n) / skew)
    return f32(start + (end - start) * n)

def number_text(x):
    x = f32(x)
    if x == int(x):
        return f"{int(x)}.0"
    return f"{x:.16g}"

# ---------------------------------------------------------------------------------------
FAMILIES = {
    "FX_": "FX_1_4 FX_64c FX_AlarmDrama FX_AlienPresence FX_BackStab FX_Bonus FX_BrokenMarimba FX_Bubble FX_Caution FX_CavernImpulse FX_Consequence FX_Crescendo FX_Cymru FX_Driller FX_DroidTalk FX_FloppyGame FX_Frogger FX_Gastric FX_Grit FX_Hysterical FX_Insectoid FX_Invert FX_Jitter FX_Plongee FX_Prehistoire FX_Quoth FX_Radial FX_Rolling FX_Rotor FX_Soundbwoy FX_Stabme FX_SurfinBird FX_Sweep1 FX_Sweep2 FX_Tale FX_Talkative FX_ToothDecay FX_Transition FX_Ufology FX_We_Have_Explosives_2",
    "HAT_": "HAT_Brushed HAT_Buzz HAT_Comb HAT_Compute HAT_Conformance HAT_Copyshop HAT_GrungeCymbal HAT_Quindle1 HAT_Quindle2 HAT_Quindle3 HAT_Quindle4 HAT_Quindle5 HAT_Metal HAT_Minuscule HAT_Tonal HAT_Wonky",
    "KICK_": "KICK_Bouncing KICK_Bouncy KICK_Cavern KICK_Click KICK_Dimensions KICK_Droid KICK_Dust KICK_Empty KICK_Fat KICK_Floor KICK_Fog KICK_Future KICK_Gabba1 KICK_Gabba2 KICK_Indus KICK_Quindle1 KICK_Quindle2 KICK_Quindle3 KICK_Quindle4 KICK_Quindle5 KICK_Quindle6 KICK_Quindle7 KICK_Quindle8 KICK_Quindle9 KICK_Max_Out KICK_Plastic KICK_Plastic2 KICK_Pops KICK_Ringing KICK_Straight KICK_Styx",
    "NOISE_": "NOISE_Quindle1 NOISE_Quindle2 NOISE_Quindle3",
    "PERC_": "PERC_4roses PERC_AngryGong PERC_Angst PERC_B_Hell PERC_Bells PERC_Bits PERC_BouncyGong PERC_Castanet PERC_Clicker PERC_Cobra PERC_Crisp PERC_DinerTime PERC_DustSteps PERC_EarHole PERC_Earworm PERC_FanfareDrum PERC_Field PERC_Flipper PERC_Friday13th PERC_Ghostly PERC_GlassKnock PERC_GlassTick PERC_GlitchHit PERC_LameCowbell PERC_Lunar_Zap PERC_MetalParty PERC_Overtone PERC_Physical PERC_Mosaic PERC_Reso PERC_ResonantHit PERC_RingTom PERC_Rolling PERC_SickRim PERC_Space_Disco PERC_Tick PERC_TonalClick PERC_TornTom PERC_ToyTom PERC_TribalDigits PERC_Trill PERC_TunnelParty PERC_WaterRim PERC_We_Have_Explosives PERC_Woodblock PERC_Zapping",
    "SNR_": "SNR_Can SNR_Circuits SNR_Clicking SNR_Clou SNR_Crunch1 SNR_Crunch2 SNR_Crushed SNR_Crushed2 SNR_Dirt SNR_Frogs SNR_Grainy SNR_Quindle1 SNR_Quindle2 SNR_Quindle3 SNR_Quindle4 SNR_Quindle5 SNR_Quindle6 SNR_Metal SNR_Mikro SNR_Pinched SNR_Rim1 SNR_Rim2 SNR_Robotic1 SNR_Robotic2 SNR_Robotic3 SNR_Smack SNR_Stick SNR_Trash",
    "SYNTH_": "SYNTH_Acidic SYNTH_Artificial SYNTH_Bleep SYNTH_BounceBass SYNTH_Burn SYNTH_Contrepoint SYNTH_DrunkenStyle SYNTH_Erratic SYNTH_FatBass SYNTH_Fmsah SYNTH_Garage SYNTH_GlassBass SYNTH_GlitchyViolin SYNTH_Jingle SYNTH_MusicBox SYNTH_PseudoSequence SYNTH_StormTrooper SYNTH_TunnelBass",
}
SOUND_NAMES = [n for family in FAMILIES.values() for n in family.split()]
assert len(SOUND_NAMES) == 182

VELOCITY_TRACKING_SOUNDS = {"KICK_Straight", "SNR_Stick"}

# The two sounds whose stored values are fixed (normalised, as stored).
FIXED_SOUNDS = {
    "KICK_Click": dict(Carrier_Freq=0.1553032249212265, Carrier_Freq_Prob=0.5, Modulator_Freq=0.374678373336792,
        Modulator_Freq_Prob=0.5, FM_Depth=0.3209361433982849, FM_Depth_Prob=0.0, Oscillator_Feedback=0.9386159777641296,
        Oscillator_Feedback_Prob=0.5, Cutoff=0.2452741414308548, Cutoff_Prob=0.5, Resonance=0.6909335255622864,
        Resonance_Prob=0.5, Filter_Mode=0.0, Filter_Mod_Depth=0.625, Filter_Mod_Depth_Prob=0.5, Amp_Env_Attack=0.0,
        Amp_Env_Attack_Prob=0.5, Amp_Env_Release=0.8811239004135132, Amp_Env_Release_Prob=0.7020000219345093,
        Amp_Env_Attack_Curve=0.7249494791030884, Amp_Env_Attack_Curve_Prob=0.5, Amp_Env_Release_Curve=0.8315958976745605,
        Amp_Env_Release_Curve_Prob=0.2760000228881836, Pitch_Env_Release=0.736907422542572, Pitch_Env_Release_Prob=0.5,
        Pitch_Env_Release_Curve=0.5809623599052429, Pitch_Env_Release_Curve_Prob=0.4020000100135803, Pitch_Env_Loop=0.0,
        Pitch_Env_Depth=0.4647580087184906, Pitch_Env_Depth_Prob=0.2600000202655792, Level=0.6235559582710266,
        Velocity_Tracking=0.0, Drive=0.0),
    "SNR_Clicking": dict(Carrier_Freq=0.2680375277996063, Carrier_Freq_Prob=0.5, Modulator_Freq=0.1810235530138016,
        Modulator_Freq_Prob=0.5, FM_Depth=0.9338093996047974, FM_Depth_Prob=0.5, Oscillator_Feedback=0.1095445156097412,
        Oscillator_Feedback_Prob=0.1380000114440918, Cutoff=0.4394830465316772, Cutoff_Prob=0.5, Resonance=0.5408248901367188,
        Resonance_Prob=0.5, Filter_Mode=0.0, Filter_Mod_Depth=0.2750000059604645, Filter_Mod_Depth_Prob=0.5,
        Amp_Env_Attack=0.0, Amp_Env_Attack_Prob=0.5, Amp_Env_Release=0.3326803743839264, Amp_Env_Release_Prob=0.5,
        Amp_Env_Attack_Curve=0.09097176790237427, Amp_Env_Attack_Curve_Prob=0.5, Amp_Env_Release_Curve=0.698273777961731,
        Amp_Env_Release_Curve_Prob=0.5, Pitch_Env_Release=0.7695736885070801, Pitch_Env_Release_Prob=0.5,
        Pitch_Env_Release_Curve=0.6663332581520081, Pitch_Env_Release_Curve_Prob=0.5, Pitch_Env_Loop=1.0,
        Pitch_Env_Depth=0.2529822289943695, Pitch_Env_Depth_Prob=0.5, Level=0.5530669093132019,
        Velocity_Tracking=0.0, Drive=0.3626132309436798),
}

def has(name, *words):
    lower = name.lower()
    return any(w.lower() in lower for w in words)

def design(name):
    """Real-unit sound values for one factory sound."""
    rng = random.Random(int(hashlib.sha256(name.encode()).hexdigest()[:12], 16))
    u = rng.uniform
    d = dict(Carrier_Freq=220, Modulator_Freq=220, FM_Depth=0, Oscillator_Feedback=0, Cutoff=11000,
             Resonance=0, Filter_Mode=0, Filter_Mod_Depth=0, Amp_Env_Attack=1, Amp_Env_Release=200,
             Amp_Env_Attack_Curve=1, Amp_Env_Release_Curve=1, Pitch_Env_Release=50, Pitch_Env_Release_Curve=1,
             Pitch_Env_Loop=0, Pitch_Env_Depth=0, Level=-8, Velocity_Tracking=0, Drive=0)
    prob = {b: 0.0 for b in PROB_BASES}

    if name.startswith("KICK_"):
        d.update(Carrier_Freq=u(34, 60), FM_Depth=u(0.5, 4), Oscillator_Feedback=u(0, 20),
                 Cutoff=u(250, 1400), Resonance=u(5, 35), Filter_Mode=0, Filter_Mod_Depth=u(15, 40),
                 Amp_Env_Attack=u(1, 2.5), Amp_Env_Release=u(180, 650), Amp_Env_Attack_Curve=u(1, 2),
                 Amp_Env_Release_Curve=u(2.5, 7), Pitch_Env_Release=u(25, 110), Pitch_Env_Release_Curve=u(3, 10),
                 Pitch_Env_Depth=u(5, 16), Level=u(-8, -4.5), Drive=u(0.0, 0.12))
        d["Modulator_Freq"] = d["Carrier_Freq"] * rng.choice([0.5, 1.0, 1.5, 2.0])
        prob.update(Pitch_Env_Depth=u(-0.25, 0.25), Amp_Env_Release=u(-0.2, 0.3))
        if has(name, "Gabba", "Max_Out", "Indus", "Fat"):
            d.update(Drive=u(0.35, 0.8), Oscillator_Feedback=u(20, 45), Cutoff=u(1500, 4000), Pitch_Env_Depth=u(10, 20))
        if has(name, "Cavern", "Fog", "Ringing", "Styx", "Dimensions"):
            d.update(Amp_Env_Release=u(700, 1400), Amp_Env_Release_Curve=u(2, 4), Resonance=u(30, 55))
        if has(name, "Bouncing", "Bouncy"):
            d.update(Pitch_Env_Loop=1, Pitch_Env_Release=u(60, 120), Pitch_Env_Depth=u(3, 7))
        if has(name, "Plastic", "Pops", "Droid", "Future"):
            d.update(FM_Depth=u(4, 10), Modulator_Freq=d["Carrier_Freq"] * u(2.5, 4.5), Pitch_Env_Release=u(15, 40))
        if has(name, "Dust", "Empty"):
            d.update(Oscillator_Feedback=u(40, 70), Cutoff=u(200, 500), Amp_Env_Release=u(150, 300))
        if name.startswith("KICK_Quindle"):
            prob.update(Carrier_Freq=u(-0.15, 0.15), Cutoff=u(-0.3, 0.3), Pitch_Env_Release=u(-0.4, 0.4))
    elif name.startswith("SNR_"):
        d.update(Carrier_Freq=u(150, 320), Modulator_Freq=u(180, 900), FM_Depth=u(35, 80),
                 Oscillator_Feedback=u(88, 99), Cutoff=u(2500, 9000), Resonance=u(10, 40),
                 Filter_Mode=rng.choice([0, 1, 2]), Filter_Mod_Depth=u(-40, -10), Amp_Env_Attack=1,
                 Amp_Env_Release=u(130, 360), Amp_Env_Attack_Curve=1, Amp_Env_Release_Curve=u(3, 8),
                 Pitch_Env_Release=u(10, 45), Pitch_Env_Release_Curve=u(2, 8), Pitch_Env_Depth=u(6, 15),
                 Level=u(-8, -4), Drive=u(0.05, 0.35))
        prob.update(Cutoff=u(-0.35, 0.35), FM_Depth=u(-0.2, 0.2), Amp_Env_Release=u(-0.25, 0.25))
        if has(name, "Rim", "Stick", "Clou", "Mikro", "Pinched", "Can"):
            d.update(Carrier_Freq=u(350, 900), Oscillator_Feedback=u(50, 80), Filter_Mode=2, Resonance=u(35, 60),
                     Amp_Env_Release=u(50, 120), Amp_Env_Release_Curve=u(5, 10))
        if has(name, "Crunch", "Crushed", "Dirt", "Trash", "Grainy"):
            d.update(Drive=u(0.4, 0.85), Oscillator_Feedback=u(95, 100))
        if has(name, "Robotic", "Circuits", "Metal", "Frogs"):
            d.update(Modulator_Freq=d["Carrier_Freq"] * u(2.7, 5.3), Pitch_Env_Loop=1, Pitch_Env_Release=u(8, 30))
    elif name.startswith("HAT_"):
        d.update(Carrier_Freq=u(2500, 3000), Modulator_Freq=u(2500, 3000), FM_Depth=u(80, 100),
                 Oscillator_Feedback=u(90, 99), Cutoff=u(5000, 8000), Resonance=u(0, 25), Filter_Mode=1,
                 Amp_Env_Attack=1, Amp_Env_Release=u(60, 170), Amp_Env_Release_Curve=u(3, 6),
                 Pitch_Env_Depth=0, Level=u(-4, 0), Drive=u(0.0, 0.06))
        prob.update(Cutoff=u(-0.3, 0.3), Amp_Env_Release=u(-0.35, 0.35))
        if has(name, "Grunge", "Cymbal", "Brushed", "Copyshop"):
            d.update(Amp_Env_Release=u(350, 900), Amp_Env_Release_Curve=u(2, 4))
        if has(name, "Tonal", "Comb", "Buzz"):
            d.update(Oscillator_Feedback=u(30, 60), Filter_Mode=2, Resonance=u(40, 70), Cutoff=u(4000, 7000))
        if has(name, "Wonky", "Compute"):
            prob.update(Carrier_Freq=u(-0.5, 0.5), Modulator_Freq=u(-0.4, 0.4))
    elif name.startswith("NOISE_"):
        d.update(Carrier_Freq=u(200, 1500), Modulator_Freq=u(800, 3000), FM_Depth=u(80, 100),
                 Oscillator_Feedback=u(96, 100), Cutoff=u(1500, 8000), Resonance=u(20, 60), Filter_Mode=2,
                 Filter_Mod_Depth=u(30, 70), Amp_Env_Attack=u(1, 30), Amp_Env_Release=u(400, 1500),
                 Amp_Env_Release_Curve=u(1.5, 4), Pitch_Env_Release=u(80, 250), Pitch_Env_Loop=rng.choice([0, 1]),
                 Pitch_Env_Depth=u(0, 10), Level=u(-12, -8), Drive=u(0, 0.2))
        prob.update(Cutoff=u(-0.5, 0.5), Amp_Env_Release=u(-0.4, 0.4), Pitch_Env_Release=u(-0.5, 0.5))
    elif name.startswith("SYNTH_"):
        bass = has(name, "Bass", "Burn", "Garage", "Acidic", "StormTrooper")
        root = u(42, 80) if bass else u(180, 520)
        d.update(Carrier_Freq=root, Modulator_Freq=root * rng.choice([1, 2, 3, 0.5]), FM_Depth=u(1, 8),
                 Oscillator_Feedback=u(0, 15), Cutoff=u(500, 3500), Resonance=u(30, 70), Filter_Mode=0,
                 Filter_Mod_Depth=u(-70, -30), Amp_Env_Attack=u(1, 12), Amp_Env_Release=u(350, 1200),
                 Amp_Env_Attack_Curve=u(1, 2), Amp_Env_Release_Curve=u(1.5, 4), Pitch_Env_Release=u(5, 30),
                 Pitch_Env_Depth=u(0, 1.5), Level=u(-11, -7), Drive=u(0, 0.2))
        prob.update(Cutoff=u(-0.25, 0.25), FM_Depth=u(-0.2, 0.2))
        if has(name, "PseudoSequence", "Erratic", "DrunkenStyle", "Contrepoint", "Jingle", "Bleep"):
            prob.update(Carrier_Freq=u(0.2, 0.45) * rng.choice([-1, 1]), Modulator_Freq=u(-0.2, 0.2))
        if has(name, "MusicBox", "Glass", "Jingle", "Bleep"):
            d.update(Modulator_Freq=d["Carrier_Freq"] * rng.choice([3.5, 4.0, 5.0]), FM_Depth=u(2, 6),
                     Amp_Env_Release=u(500, 1100), Cutoff=u(4000, 9000), Resonance=u(10, 30))
        if has(name, "Acidic", "Fmsah", "StormTrooper"):
            d.update(Resonance=u(70, 90), Filter_Mod_Depth=u(-90, -60), Drive=u(0.3, 0.6))
    elif name.startswith("PERC_"):
        d.update(Carrier_Freq=u(160, 900), FM_Depth=u(4, 25), Oscillator_Feedback=u(0, 30),
                 Cutoff=u(2000, 10000), Resonance=u(10, 45), Filter_Mode=rng.choice([0, 2]),
                 Filter_Mod_Depth=u(-30, 30), Amp_Env_Attack=1, Amp_Env_Release=u(90, 450),
                 Amp_Env_Release_Curve=u(2.5, 7), Pitch_Env_Release=u(10, 60), Pitch_Env_Release_Curve=u(2, 8),
                 Pitch_Env_Depth=u(1, 8), Level=u(-11, -6), Drive=u(0, 0.2))
        d["Modulator_Freq"] = d["Carrier_Freq"] * rng.choice([1.41, 1.73, 2.0, 2.76, 3.5])
        prob.update(Carrier_Freq=u(-0.12, 0.12), Pitch_Env_Depth=u(-0.3, 0.3), Amp_Env_Release=u(-0.3, 0.3))
        if has(name, "Gong", "Bells", "Overtone", "Ghostly", "MetalParty", "B_Hell"):
            d.update(Modulator_Freq=d["Carrier_Freq"] * u(2.3, 3.9), FM_Depth=u(10, 35), Amp_Env_Release=u(900, 1900),
                     Amp_Env_Release_Curve=u(1.5, 3), Pitch_Env_Depth=u(0, 2))
        if has(name, "Tom", "Drum", "Field"):
            d.update(Carrier_Freq=u(80, 190), Modulator_Freq=d["Carrier_Freq"], FM_Depth=u(0.5, 3),
                     Pitch_Env_Depth=u(4, 10), Pitch_Env_Release=u(40, 120), Filter_Mode=0, Cutoff=u(800, 3000))
        if has(name, "Glass", "Tick", "Click", "Castanet", "Crisp", "Woodblock", "Clicker", "Bits"):
            d.update(Carrier_Freq=u(900, 2600), Amp_Env_Release=u(25, 90), Amp_Env_Release_Curve=u(5, 12),
                     Filter_Mode=2, Resonance=u(30, 60))
            d["Cutoff"] = d["Carrier_Freq"] * u(1.0, 1.4) # the band sits on the tick
        if has(name, "Zap", "Lunar", "Space", "Flipper"):
            d.update(Pitch_Env_Depth=u(40, 80), Pitch_Env_Release=u(30, 120), Pitch_Env_Release_Curve=u(4, 10))
        if has(name, "Rolling", "Trill", "Earworm", "TunnelParty"):
            d.update(Pitch_Env_Loop=1, Pitch_Env_Release=u(12, 45), Amp_Env_Release=u(400, 900))
        if has(name, "Cowbell"):
            d.update(Carrier_Freq=540, Modulator_Freq=800, FM_Depth=u(6, 10), Filter_Mode=2, Cutoff=2500)
        if has(name, "Rim", "Angst", "Cobra", "Reso", "Water"):
            d.update(Resonance=u(55, 80), Filter_Mode=2)
    elif name.startswith("FX_"):
        d.update(Carrier_Freq=u(60, 1500), FM_Depth=u(5, 70), Oscillator_Feedback=u(0, 90),
                 Cutoff=u(800, 12000), Resonance=u(20, 75), Filter_Mode=rng.choice([0, 1, 2, 3]),
                 Filter_Mod_Depth=u(-80, 80), Amp_Env_Attack=u(1, 80), Amp_Env_Release=u(300, 1900),
                 Amp_Env_Attack_Curve=u(1, 4), Amp_Env_Release_Curve=u(1, 5), Pitch_Env_Release=u(8, 250),
                 Pitch_Env_Release_Curve=u(1, 12), Pitch_Env_Loop=rng.choice([0, 1]), Pitch_Env_Depth=u(5, 70),
                 Level=u(-14, -8), Drive=u(0, 0.5))
        d["Modulator_Freq"] = d["Carrier_Freq"] * u(0.3, 6)
        prob.update(Carrier_Freq=u(-0.5, 0.5), Pitch_Env_Depth=u(-0.6, 0.6), Cutoff=u(-0.5, 0.5),
                    Pitch_Env_Release=u(-0.5, 0.5), FM_Depth=u(-0.4, 0.4))
        if has(name, "Alarm", "Caution", "Driller", "Rotor", "Rolling", "Jitter", "Hysterical", "Insectoid", "Talk"):
            d.update(Pitch_Env_Loop=1, Pitch_Env_Release=u(8, 60))
        if has(name, "Sweep", "Crescendo", "Transition", "Plongee", "Ufology"):
            d.update(Pitch_Env_Release=u(180, 250), Pitch_Env_Release_Curve=u(1, 2), Amp_Env_Attack=u(40, 300),
                     Amp_Env_Release=u(1200, 2000))
        if has(name, "Grit", "Gastric", "ToothDecay", "Explosives", "Stab", "BackStab"):
            d.update(Oscillator_Feedback=u(90, 100), Drive=u(0.4, 0.9))
        if has(name, "Bubble", "Frogger", "Floppy", "Bonus"):
            d.update(Pitch_Env_Loop=1, Filter_Mode=2, Resonance=u(60, 85), Pitch_Env_Release=u(20, 90))
    # Very short hits carry little energy; lift them so they sit with the rest of a kit.
    if d["Amp_Env_Release"] < 120:
        d["Level"] = min(0.0, d["Level"] + 4.0)
    # Keep envelope and pitch times inside their ranges.
    d["Pitch_Env_Release"] = min(250.0, max(1.0, d["Pitch_Env_Release"]))
    d["Modulator_Freq"] = min(3000.0, max(20.0, d["Modulator_Freq"]))
    d["Carrier_Freq"] = min(3000.0, max(20.0, d["Carrier_Freq"]))
    d["Velocity_Tracking"] = 1 if name in VELOCITY_TRACKING_SOUNDS else 0
    return d, prob

SOUND_ATTRIBUTE_ORDER = [
    "Carrier_Freq", "Carrier_Freq_Prob", "Modulator_Freq", "Modulator_Freq_Prob", "FM_Depth", "FM_Depth_Prob",
    "Oscillator_Feedback", "Oscillator_Feedback_Prob", "Cutoff", "Cutoff_Prob", "Resonance", "Resonance_Prob",
    "Filter_Mode", "Filter_Mod_Depth", "Filter_Mod_Depth_Prob", "Amp_Env_Attack", "Amp_Env_Attack_Prob",
    "Amp_Env_Release", "Amp_Env_Release_Prob", "Amp_Env_Attack_Curve", "Amp_Env_Attack_Curve_Prob",
    "Amp_Env_Release_Curve", "Amp_Env_Release_Curve_Prob", "Pitch_Env_Release", "Pitch_Env_Release_Prob",
    "Pitch_Env_Release_Curve", "Pitch_Env_Release_Curve_Prob", "Pitch_Env_Loop", "Pitch_Env_Depth",
    "Pitch_Env_Depth_Prob", "Level", "Velocity_Tracking", "Drive",
]
TUNED_ATTRIBUTES = [("use_tuned_mode", "1"), ("Tuned_Mode", "0.0"), ("Carrier_Note", "0.2834645807743073"),
                    ("Carrier_Note_Prob", "0.5"), ("Carrier_Cents", "0.5"), ("Modulator_Note", "0.2834645807743073"),
                    ("Modulator_Note_Prob", "0.5"), ("Modulator_Cents", "0.5")]

def sound_normalised(name):
    """Normalised attribute values of a sound, in the file's attribute order."""
    if name in FIXED_SOUNDS:
        return {k: f32(v) for k, v in FIXED_SOUNDS[name].items()}
    real, prob = design(name)
    values = {}
    for attr in SOUND_ATTRIBUTE_ORDER:
        if attr.endswith("_Prob"):
            base = attr[:-5]
            p = round(max(-1.0, min(1.0, prob.get(base, 0.0))), 3)
            values[attr] = f32((p + 1.0) / 2.0)
        elif attr == "Filter_Mode":
            values[attr] = f32(real[attr] / 3.0)
        else:
            values[attr] = to_normalised(attr, real[attr])
    return values

def write_sound(name):
    values = sound_normalised(name)
    attributes = [(k, number_text(values[k])) for k in SOUND_ATTRIBUTE_ORDER] + TUNED_ATTRIBUTES + [("Sound_Name", name)]
    body = "\r\n                ".join(f'{k}="{v}"' for k, v in attributes)
    text = f'<?xml version="1.0" encoding="UTF-8"?>\r\n\r\n<TORVANEL_SOUND {body}/>\r\n'
    (OUT / "sounds" / f"{name}.tvs").write_bytes(text.encode("utf-8"))

# ---------------------------------------------------------------------------------------
PART_IDS = ["C", "C_Sharp", "D", "D_Sharp", "E", "F", "F_Sharp", "G", "G_Sharp", "A", "A_Sharp", "B"]
PER_PART = ["Carrier_Freq", "Tuned_Mode", "Carrier_Note", "Carrier_Cents", "Modulator_Freq", "Modulator_Note",
            "Modulator_Cents", "FM_Depth", "Oscillator_Feedback", "oscillator_feedback_mode", "Amp_Env_Attack",
            "Amp_Env_Release", "Amp_Env_Attack_Curve", "Amp_Env_Release_Curve", "Cutoff", "Resonance",
            "Filter_Mode", "Filter_Mod_Depth", "Pitch_Env_Release", "Pitch_Env_Release_Curve", "Pitch_Env_Loop",
            "Pitch_Env_Depth", "Trigger_Probability", "Velocity_Random_Amount", "Drive", "Level",
            "Velocity_Tracking", "Pan", "Solo", "Mute"]
TUNED = {"Tuned_Mode", "Carrier_Note", "Carrier_Cents", "Modulator_Note", "Modulator_Cents"}

KITS = [
    ("Clicking_Kit", "KICK_Click PERC_Physical SNR_Clicking SNR_Stick HAT_Minuscule HAT_Wonky FX_Frogger FX_SurfinBird PERC_GlassTick PERC_TonalClick SYNTH_GlitchyViolin FX_Tale", 5.73,
     "-10.15/0 -9.71/0 -14.75/0 -13.00/0 -17.01/-36 -5.48/25 -16.71/0 -8.79/0 -16.35/-27 -18.69/25 -14.63/-32 -18.92/35"),
    ("Digits_Kit", "KICK_Floor KICK_Pops SNR_Rim2 PERC_SickRim HAT_Compute HAT_Brushed PERC_DustSteps PERC_WaterRim FX_Quoth FX_Talkative SYNTH_Burn SYNTH_Burn", 6.92,
     "-9.20/0 -11.23/0 -13.82/0 -14.00/0 -6.00/0 -17.73/0 -17.90/-30 -10.54/34 -27.73/-40 -26.10/40 -19.36/0 -20.98/0"),
    ("Glitch_Kit", "KICK_Plastic2 KICK_Plastic SNR_Robotic2 SNR_Pinched HAT_Comb HAT_Wonky PERC_Earworm PERC_ResonantHit FX_Driller FX_Frogger SYNTH_Fmsah SYNTH_PseudoSequence", 5.60,
     "-12.62/0 -7.95/0 -20.65/0 -20.77/0 -19.28/-10 -5.48/14 -18.36/0 -19.92/0 -21.97/-27 -13.80/33 -16.97/0 -15.66/0"),
    ("Hardcore_Kit", "KICK_Max_Out KICK_Gabba1 SNR_Trash SNR_Circuits HAT_GrungeCymbal FX_Radial PERC_EarHole PERC_RingTom FX_Grit FX_Plongee SYNTH_Burn SYNTH_GlassBass", 5.76,
     "-19.22/0 -21.79/0 -25.07/0 -25.87/0 -16.45/0 -14.73/0 -19.49/-23 -24.63/24 -22.06/-27 -24.18/33 -24.07/0 -28.46/0"),
    ("Industrial_Kit", "KICK_Cavern KICK_Indus SNR_Crunch2 SNR_Trash HAT_Buzz HAT_GrungeCymbal PERC_AngryGong PERC_MetalParty FX_Caution FX_Gastric SYNTH_Garage SYNTH_Jingle", 6.21,
     "-6.00/0 -15.80/0 -23.53/0 -25.07/0 -11.78/0 -17.56/0 -19.10/0 -22.15/0 -21.07/-27 -21.70/33 -21.85/0 -11.94/0"),
    ("Leftfield_Kit", "KICK_Dust KICK_Ringing SNR_Can SNR_Crushed2 HAT_Conformance HAT_Copyshop PERC_Clicker PERC_TribalDigits FX_Prehistoire FX_Radial SYNTH_GlassBass SYNTH_TunnelBass", 3.86,
     "-13.26/0 -8.30/0 -15.73/0 -12.04/0 1.79/0 -13.29/0 -13.01/0 -14.15/0 -15.04/-27 -19.30/33 -19.88/0 -21.55/0"),
    ("Melodic_Kit", "SYNTH_MusicBox SYNTH_MusicBox SYNTH_MusicBox SYNTH_MusicBox SYNTH_MusicBox SYNTH_MusicBox FX_BrokenMarimba FX_BrokenMarimba PERC_TornTom PERC_TribalDigits PERC_TribalDigits SYNTH_Bleep", 9.32,
     "-13.26/0 -13.26/0 -13.26/0 -13.26/0 -13.26/0 -13.26/0 -27.41/0 -27.41/0 -25.06/0 -25.98/-25 -27.35/29 -32.39/0"),
    ("Nasty_Kit", "KICK_Straight KICK_Dimensions SNR_Crushed2 SNR_Crunch2 HAT_Comb HAT_Comb PERC_Ghostly PERC_ToyTom FX_Caution FX_ToothDecay SYNTH_DrunkenStyle SYNTH_BounceBass", 4.02,
     "-11.26/0 -13.04/0 -20.71/0 -23.04/0 -10.57/-34 -12.12/33 -13.11/24 -22.24/-20 -18.79/0 -19.68/0 -16.08/0 -22.78/0"),
    ("Randomized1_Kit", "KICK_Future KICK_Dimensions SNR_Dirt SNR_Metal HAT_Compute HAT_Metal PERC_ToyTom PERC_Reso FX_Jitter FX_Sweep2 SYNTH_Acidic SYNTH_Bleep", 8.82,
     "-16.24/0 -22.15/0 -24.53/0 -19.65/0 -14.80/0 -11.64/0 -22.68/-30 -17.21/34 -12.31/-40 -5.79/40 -23.60/0 -12.88/0"),
    ("Randomized2_Kit", "KICK_Dust KICK_Ringing SNR_Can SNR_Crushed2 HAT_Conformance HAT_Conformance PERC_Clicker PERC_TribalDigits FX_Prehistoire FX_Prehistoire SYNTH_GlassBass SYNTH_TunnelBass", 7.48,
     "-19.07/0 -13.61/0 -21.64/0 -21.51/0 -8.54/0 -18.40/0 -26.10/0 -22.77/0 -24.82/-27 -22.61/33 -19.88/0 -21.55/0"),
    ("Randomized3_Kit", "KICK_Click PERC_Physical SNR_Clicking SNR_Stick HAT_Minuscule HAT_Metal FX_Frogger FX_SurfinBird PERC_GlassTick PERC_TonalClick SYNTH_PseudoSequence FX_64c", 4.67,
     "-10.15/0 -11.06/0 -14.75/0 -8.58/0 -17.01/-36 -18.18/25 -23.18/0 -24.65/0 -16.02/-27 -11.17/25 -15.24/-32 -7.81/35"),
    ("Technoid_Kit", "KICK_Future KICK_Dimensions SNR_Dirt SNR_Metal HAT_Compute HAT_Metal PERC_ToyTom PERC_Reso FX_Jitter FX_Sweep1 SYNTH_Acidic SYNTH_Bleep", 2.08,
     "-11.00/0 -6.00/0 -20.33/0 -19.65/0 -2.52/0 -18.18/0 -18.59/-30 -12.86/34 -12.31/-40 -2.17/40 -17.83/0 1.26/0"),
]
TRIGGER = {("Randomized1_Kit", 11): 59.9, ("Technoid_Kit", 11): 59.8}
RANDOM_VELOCITY = {("Digits_Kit", 7): 100, ("Glitch_Kit", 4): 100, ("Industrial_Kit", 4): 100, ("Nasty_Kit", 4): 100,
                   ("Technoid_Kit", 7): 100, ("Nasty_Kit", 5): 76.6, ("Leftfield_Kit", 4): 27.2,
                   ("Randomized2_Kit", 4): 27.2}
VELOCITY_TRACKING = {("Industrial_Kit", 0)}

def kit_value_text(x):
    x = f32(x)
    return f"{int(x)}" if x == int(x) else repr(x)

def write_kit(index, kit):
    name, sounds, output, mixer = kit
    sounds = sounds.split()
    mixer = [tuple(float(v) for v in m.split("/")) for m in mixer.split()]
    root = " ".join(f'{PART_IDS[p]}_Sound_Name="{sounds[p]}"' for p in range(12)) + f' Kit_Name="{name}"'
    params = []
    for p in range(12):
        normal = sound_normalised(sounds[p])
        for base in PER_PART:
            pid = f"{PART_IDS[p]}_{base}"
            if base == "oscillator_feedback_mode":
                continue
            if base in TUNED:
                params.append(f'<PARAM id="{pid}"/>')
                if base in ("Carrier_Note", "Modulator_Note"):
                    params.append(f'<PARAM id="{pid}_Prob"/>')
                continue
            if base == "Level":
                value = mixer[p][0]
            elif base == "Pan":
                value = mixer[p][1]
            elif base == "Trigger_Probability":
                value = TRIGGER.get((name, p), 100)
            elif base == "Velocity_Random_Amount":
                value = RANDOM_VELOCITY.get((name, p), 0)
            elif base == "Velocity_Tracking":
                value = 1 if (name, p) in VELOCITY_TRACKING else 0
            elif base in ("Solo", "Mute"):
                value = 0
            elif base == "Filter_Mode":
                value = round(normal[base] * 3)
            else:
                value = from_normalised(base, normal[base])
            params.append(f'<PARAM id="{pid}" value="{kit_value_text(value)}"/>')
            if base in PROB_BASES and base not in ("Carrier_Note", "Modulator_Note"):
                prob = f32(normal[base + "_Prob"] * 2.0 - 1.0)
                params.append(f'<PARAM id="{pid}_Prob" value="{kit_value_text(prob)}"/>')
    params.append(f'<PARAM id="Output_Amplitude" value="{kit_value_text(output)}"/>')
    assert len(params) == 541, len(params)
    text = ('<?xml version="1.0" encoding="UTF-8"?>\r\n\r\n<Torvanel ' + root + '>\r\n  '
            + "\r\n  ".join(params) + "\r\n</Torvanel>\r\n")
    (OUT / "kits" / f"{index:02d}_{name}.tvp").write_bytes(text.encode("utf-8"))
    return f"kits/{index:02d}_{name}.tvp"

def main():
    for folder in ("sounds", "kits"):
        (OUT / folder).mkdir(parents=True, exist_ok=True)
        for old in (OUT / folder).iterdir():
            old.unlink()
    order = []
    for name in SOUND_NAMES:
        write_sound(name)
        order.append(f"sounds/{name}.tvs")
    for index, kit in enumerate(KITS):
        order.append(write_kit(index, kit))
    (OUT / "order.txt").write_text("\n".join(order) + "\n")

if __name__ == "__main__":
    main()
