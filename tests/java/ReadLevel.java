package com.mojang.minecraft.level;

import java.io.ByteArrayInputStream;
import java.io.FileOutputStream;
import java.io.ObjectInputStream;
import java.nio.file.Files;
import java.nio.file.Paths;

// Reads an uncompressed level file as the game does: the magic number and
// version, then the serialized Level. Prints its fields and writes its blocks.
//   java com.mojang.minecraft.level.ReadLevel LEVEL BLOCKS_OUT
public class ReadLevel {
    public static void main(String[] args) throws Exception {
        byte[] data = Files.readAllBytes(Paths.get(args[0]));
        int magic = ((data[0] & 0xFF) << 24) | ((data[1] & 0xFF) << 16) | ((data[2] & 0xFF) << 8) | (data[3] & 0xFF);
        System.out.println("magic=" + Integer.toHexString(magic) + " version=" + data[4]);
        try (ObjectInputStream in = new ObjectInputStream(new ByteArrayInputStream(data, 5, data.length - 5))) {
            Level level = (Level) in.readObject();
            System.out.println("width=" + level.width + " height=" + level.height + " depth=" + level.depth);
            System.out.println("blocks=" + level.blocks.length);
            System.out.println("creator=" + level.creator + " name=" + level.name + " entities=" + level.entities.size());
            System.out.println("spawn=" + level.xSpawn + "," + level.ySpawn + "," + level.zSpawn);
            System.out.println("rest=" + in.available());
            try (FileOutputStream out = new FileOutputStream(args[1])) {
                out.write(level.blocks);
            }
        }
    }
}
