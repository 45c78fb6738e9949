package com.mojang.minecraft.level;

import java.io.Serializable;
import java.util.ArrayList;

// A variant of the game's level object: a server's level, with one field more: networkMode.
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
    public boolean networkMode;
}
