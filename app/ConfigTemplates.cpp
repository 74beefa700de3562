#include "app/ConfigTemplates.h"

namespace {

// The Maximum template's settings; where the Minimum template differs, its value stands
// third. The Ultra template differs from Maximum in e_max_entity_lights alone.
struct TSettingRow {
  const char* name;
  const char* maximum;
  const char* minimum;  // nullptr: as Maximum
};

const TSettingRow kSettings[] = {
  {"ExitOnQuit", "1", nullptr},
  {"GL_TextureFilter", "GL_LINEAR_MIPMAP_LINEAR", "GL_LINEAR_MIPMAP_NEAREST"},
  {"ca_EnableDecals", "1", "0"},
  {"ca_ambient_light_intensity", "0.2", nullptr},
  {"ca_ambient_light_range", "10", "0"},
  {"cl_installshieldversion", "44", nullptr},
  {"cl_lazy_weapon", "0.0000", nullptr},
  {"cl_projectile_light", "1", "0"},
  {"cl_weapon_light", "2", "0"},
  {"d3d9_TextureFilter", "TRILINEAR", "BILINEAR"},
  {"e_EntitySuppressionLevel", "0", "2"},
  {"e_active_shadow_maps_receving", "2", "0"},
  {"e_beach", "1", "0"},
  {"e_brushes_merging", "1", nullptr},
  {"e_cgf_load_lods", "0", "1"},
  {"e_decals", "1", "0"},
  {"e_decals_life_time_scale", "3.0", "0.5"},
  {"e_detail_texture_quality", "1", "0"},
  {"e_flocks", "1", "0"},
  {"e_light_maps", "1", nullptr},
  {"e_light_maps_quality", "2", "0"},
  {"e_max_entity_lights", "4", "2"},
  {"e_obj_lod_ratio", "10", "5"},
  {"e_overlay_geometry", "1", "0"},
  {"e_particles_lod", "1.0", "0.5"},
  {"e_particles_max_count", "8192", "512"},
  {"e_shadow_maps", "1", "0"},
  {"e_shadow_maps_from_static_objects", "1", nullptr},
  {"e_shadow_maps_view_dist_ratio", "20", "10"},
  {"e_shadow_spots", "0", nullptr},
  {"e_stencil_shadows", "1", "0"},
  {"e_stencil_shadows_only_from_strongest_light", "0", "1"},
  {"e_use_global_fog_in_fog_volumes", "0", "1"},
  {"e_vegetation_min_size", "0", "2.2"},
  {"e_vegetation_sprites_distance_ratio", "1.0", "0.9"},
  {"e_vegetation_sprites_texres", "0", nullptr},
  {"es_EnableCloth", "1", "0"},
  {"g_gore", "2", nullptr},
  {"g_language", "english", nullptr},
  {"g_playerprofile", "default", nullptr},
  {"g_serverprofile", "", nullptr},
  {"game_GliderBackImpulse", "2.5f", nullptr},
  {"game_GliderDamping", "0.15f", nullptr},
  {"game_GliderGravity", "-0.1f", nullptr},
  {"game_GliderStartGravity", "-0.8f", nullptr},
  {"i_direct_input", "1", nullptr},
  {"i_mouse_accel", "0.0", nullptr},
  {"i_mouse_smooth", "0.0", nullptr},
  {"log_FileVerbosity", "0", nullptr},
  {"log_Verbosity", "0", nullptr},
  {"mp_model", "objects/characters/pmodels/hero/hero_mp.cgf", nullptr},
  {"p_deathtime", "30.0000", nullptr},
  {"p_lightrange", "15", "8"},
  {"p_model", "objects/characters/pmodels/hero/hero.cgf", nullptr},
  {"r_Beams", "1", "0"},
  {"r_Brightness", "0.500000", nullptr},
  {"r_ColorBits", "32", nullptr},
  {"r_Contrast", "0.500000", nullptr},
  {"r_CoronaFade", "0.125", "0.0"},
  {"r_CoronaSizeScale", "1.000000", nullptr},
  {"r_Coronas", "1", "0"},
  {"r_CryvisionType", "0", "2"},
  {"r_DepthBits", "24", nullptr},
  {"r_DetailDistance", "16", "0"},
  {"r_DetailNumLayers", "2", "0"},
  {"r_DetailTextures", "1", "0"},
  {"r_DisableSfx", "0", "1"},
  {"r_DisplayInfo", "0", nullptr},
  {"r_Driver", "Direct3D9", nullptr},
  {"r_EnhanceImage", "1", nullptr},
  {"r_EnhanceImageAmount", "1.000000", nullptr},
  {"r_EnvCMResolution", "2", "1"},
  {"r_EnvCMupdateInterval", "0.05", "0.2"},
  {"r_EnvLCMupdateInterval", "0.05", "0.1"},
  {"r_EnvLightCMSize", "16", "8"},
  {"r_EnvLighting", "0", nullptr},
  {"r_EnvTexResolution", "3", "1"},
  {"r_EnvTexUpdateInterval", "0.001", "0.1"},
  {"r_FSAA", "0", nullptr},
  {"r_FSAA_samples", "1", nullptr},
  {"r_Flares", "1", "0"},
  {"r_Fullscreen", "1", nullptr},
  {"r_Gamma", "1.000000", nullptr},
  {"r_Glare", "1", "0"},
  {"r_GlareQuality", "2", "0"},
  {"r_HeatHaze", "1", "0"},
  {"r_Height", "768", nullptr},
  {"r_MotionBlur", "1", "0"},
  {"r_ProcFlares", "1", "0"},
  {"r_Quality_BumpMapping", "3", "0"},
  {"r_Quality_Reflection", "1", "0"},
  {"r_RenderMode", "0", nullptr},
  {"r_ScopeLens_fx", "1", "0"},
  {"r_SelfShadow", "0", nullptr},
  {"r_ShadowBlur", "2", "0"},
  {"r_StencilBits", "8", nullptr},
  {"r_TexBumpResolution", "0", "2"},
  {"r_TexLMResolution", "0", nullptr},
  {"r_TexQuality", "0", nullptr},
  {"r_TexResolution", "0", "2"},
  {"r_TexSkyResolution", "0", "2"},
  {"r_Texture_Anisotropic_Level", "1", nullptr},
  {"r_TexturesStreamPoolSize", "0", nullptr},
  {"r_VSync", "0", nullptr},
  {"r_Vegetation_PerpixelLight", "1", "0"},
  {"r_VolumetricFog", "1", "0"},
  {"r_WaterReflections", "1", "0"},
  {"r_WaterRefractions", "1", "0"},
  {"r_WaterUpdateFactor", "0.001", "0.02"},
  {"r_Width", "1024", nullptr},
  {"r_checkSunVis", "2", "0"},
  {"s_CompatibleMode", "0", nullptr},
  {"s_DopplerEnable", "0", nullptr},
  {"s_DopplerValue", "1.0", nullptr},
  {"s_DummySound", "0", nullptr},
  {"s_EnableSoundFX", "0", nullptr},
  {"s_InactiveSoundIterationTimeout", "1", nullptr},
  {"s_MaxActiveSoundSpots", "100", nullptr},
  {"s_MaxHWChannels", "0", nullptr},
  {"s_MaxSoundDist", "500", nullptr},
  {"s_MinHWChannels", "16", nullptr},
  {"s_MinRepeatSoundTimeout", "200", nullptr},
  {"s_MusicEnable", "0", nullptr},
  {"s_MusicMaxPatterns", "12", nullptr},
  {"s_MusicStreamedData", "1", nullptr},
  {"s_MusicVolume", "0.5", nullptr},
  {"s_SFXVolume", "1", nullptr},
  {"s_SampleRate", "44100", nullptr},
  {"s_SoundEnable", "1", nullptr},
  {"s_SpeakerConfig", "5", nullptr},
  {"s_VisAreasPropagation", "10", nullptr},
  {"sv_mapcyclefile", "profiles/server/mapcycle.txt", nullptr},
  {"sv_maxbitspersecond", "30000", nullptr},
  {"sys_SSInfo", "0", nullptr},
  {"sys_firstlaunch", "1", nullptr},
  {"sys_script_debugger", "0", nullptr},
  {"sys_skiponlowspec", "0", "1"},
  {"sys_spec", "3", "0"},
  {"sys_warnings", "0", nullptr},
  {"ui_BackGroundVideo", "1", nullptr},
  {"ui_EasyToolTip", "0", nullptr},
  {"ui_RepeatDelay", "200", nullptr},
  {"ui_RepeatSpeed", "40", nullptr},
  {"ui_ToolTipDelay", "1500", nullptr},
  {"ui_ToolTips", "1", nullptr},
  {"ui_TriggerUIEvents", "1", nullptr},
  {"ui_TriggerWidgetEvents", "1", nullptr},
};
static_assert(sizeof(kSettings) / sizeof(kSettings[0]) == kConfigSettingCount);

const char* const kUltraEntityLights = "8";

}  // namespace

std::string SettingLine(const std::string& name, const std::string& value) {
  return name + " = \"" + value + "\"";
}

void LoadConfigTemplate(TConfigTemplate which, TStrings& lines) {
  lines.BeginUpdate();
  lines.Clear();
  lines.Add("-- This file has been written by QuenmarConfigurator.exe");
  lines.Add("");
  for (const TSettingRow& row : kSettings) {
    const char* value = row.maximum;
    if (which == ctMinimum && row.minimum) value = row.minimum;
    if (which == ctUltra && std::string(row.name) == "e_max_entity_lights")
      value = kUltraEntityLights;
    lines.Add(SettingLine(row.name, value));
  }
  lines.Add(" ");
  if (which != ctMinimum) lines.Add(" ");
  lines.EndUpdate();
}
