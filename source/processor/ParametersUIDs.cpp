#include "ParametersUIDs.h"

ParametersUIDs::ParametersUIDs()
    : cutoffID ("Cutoff"),
      resonanceID ("Resonance"),
      filterTypeID ("Filter_Type"),
      driveID ("Drive"),
      distortionRoutingID ("Distortion_Routing"),
      rateID ("Rate"),
      bitsID ("Bits"),
      loFiRoutingID ("LoFi_Routing"),
      amplitudeID ("Amplitude"),
      dryWetMixID ("Dry_Wet_Mix"),
      lfo1RateID ("LFO_1_Rate"),
      lfo1SyncedRateID ("LFO_1_Synced_Rate"),
      lfo1SyncID ("LFO_1_Sync"),
      lfo1WaveID ("LFO_1_Wave"),
      lfo2RateID ("LFO_2_Rate"),
      lfo2SyncedRateID ("LFO_2_Synced_Rate"),
      lfo2SyncID ("LFO_2_Sync"),
      lfo2WaveID ("LFO_2_Wave"),
      lfosMixID ("LFOs_Mix"),
      modSourceSuffix ("_Mod_Source"),
      modDepthSuffix ("_Mod_Depth")
{
}
