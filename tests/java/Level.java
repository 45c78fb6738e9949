package com.mojang.minecraft.level;

import java.io.Serializable;
import java.util.ArrayList;

// The game's level object with the fields of its level files, for reading a
// saved level the way the game does.
public class Level implements Serializable {
    public static final long serialVersionUID = 0L;

    public long createTime;
    public int depth;
    public int height;
    public float rotSpawn;
    public int tickCount;
    public int unprocessed;
    public int width;
    public int xSpawn;
    public int ySpawn;
    public int zSpawn;
    public byte[] blocks;
    public String creator;
    public ArrayList<Object> entities;
    public String name;
}
